#pragma once
// Everything the document asks of the user or tells the tables goes through this
// interface: the desktop frame answers with dialogs and views, the command line with
// its options and standard error, the tests with scripted answers.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "jobdata/Records.h"

enum class MessageIcon { Information, Warning, Error };

class CDocShell {
 public:
  virtual ~CDocShell() = default;

  // The job file to add; nothing when the user cancels.
  virtual std::optional<std::filesystem::path> ChooseJobFile() = 0;
  // A message box with the caption "Velmira" and one OK button; the text is UTF-8.
  virtual void ShowMessage(std::string_view utf8Text, MessageIcon icon) = 0;
  // The central meridian, one of kMeridians; nothing when cancelled.
  virtual std::optional<std::string> AskMeridian() = 0;
  // The mountpoint of a job whose option 851 names no known one: a name of kMountpoints or
  // one the user types (Windows-1254). The caption is the job file's name; optionCp1254 the
  // option's own text, for the answer to start on.
  virtual std::optional<std::string> AskMountpoint(std::string_view captionCp1254, std::string_view optionCp1254) = 0;
  // "RTK" or a mountpoint of kMountpoints; nothing when cancelled.
  virtual std::optional<std::string> AskMethod(std::string_view captionCp1254) = 0;
  // Lets the user edit the criteria; false when cancelled (the values are then ignored).
  virtual bool AskSettings(CMatchCriteria& criteria) = 0;

  // View notifications.
  virtual void JobFilesChanged() = 0;                // rebuild the job files table
  virtual void ShowFilePoints(int nFileNumber) = 0;  // list that file's points
  virtual void ClearPointTables() = 0;               // empty the point and matching tables
  virtual void PairsChanged() = 0;                   // refill the matching table
};
