#pragma once
// The delivery folder: everything a surveyor hands in for the loaded job files, written
// in one step by the command line and the desktop alike.
//
//   <stem>_detay.xls       detail form of each job file
//   poligon.xls            polygon form of the pairs (poligon_TM<zone>.xls per zone)
//
// A form of more rows than a sheet holds is written in parts, each a whole form:
// <stem>_detay_1.xls, <stem>_detay_2.xls, ..., poligon_1.xls or poligon_TM<zone>_1.xls, ...
//   <stem>_kesinpol.txt    final coordinates of the pairs of each job file
//   noktalar.ncn           every point, for Netcad
//   noktalar.kml           every point, for Google Earth
//   kontrol.html           the check report with its plots
//   <job file>[-wal]       byte copies of the job files as the field wrote them
//
// The folder is written under a temporary name beside its own and renamed into place
// only when every file is complete, so a failure leaves nothing behind.
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "forms/FormExport.h"
#include "platform/Result.h"
#include "rules/RuleCheck.h"
#include "rules/RuleProfile.h"

class CVelmiraDoc;

struct DeliverySelection {
  // The detail form rows of a job file by its number, in table order; a file without an
  // entry (or with an empty one) gives all its points.
  std::map<int, std::vector<PointKey>> points;
  // The polygon forms' pairs in table order; all pairs, in list order, when not given.
  std::optional<std::vector<int>> pairNos;
};

// One file of the folder, named relative to it.
struct DeliveryFile {
  std::string name;  // UTF-8
  std::filesystem::path path;
};

struct DeliveryResult {
  std::filesystem::path folder;
  std::vector<DeliveryFile> files;  // in the order written
  Verdict verdict;
};

// Called after each file with the files done and the files in all.
using DeliveryProgress = std::function<void(int done, int total)>;

// Refused, with the cause, when folder names a file, or a folder that is not empty.
Status CheckDeliveryFolder(const std::filesystem::path& folder);

// The names the folder will hold, in the order they are written, for the selection given;
// refused, with the cause, as WriteDelivery would refuse the selection.
Result<std::vector<std::string>> DeliveryFileNames(const CVelmiraDoc& doc, const DeliverySelection& selection);

// Writes the folder for the document as it stands: matching and the rule check are the
// caller's. Refused, with nothing left behind, when the folder is unfit, a pair cannot be
// written in a form, or any write fails.
Result<DeliveryResult> WriteDelivery(const CVelmiraDoc& doc, const RuleProfile& profile,
                                     const std::vector<Finding>& findings, const DeliverySelection& selection,
                                     const std::filesystem::path& folder, const DeliveryProgress& progress = {});
