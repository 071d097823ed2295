#pragma once
// "AYARLAR": the five matching criteria. Fields read numbers with a full stop as the
// decimal separator, whatever the locale.
#include <QDialog>
#include <array>
#include <optional>

#include "jobdata/Records.h"

class QGridLayout;
class QLineEdit;

class CAyarlarDlg : public QDialog {
  Q_OBJECT

 public:
  enum Field { kMatchTol, kMaxDiffY, kMaxDiffX, kMaxDiffH, kMinDiffHours, kFieldCount };

  explicit CAyarlarDlg(const CMatchCriteria& criteria, QWidget* pParent = nullptr);

  // The values read at OK (the ones given before that).
  const CMatchCriteria& GetCriteria() const { return m_criteria; }
  QLineEdit* GetEdit(Field field) const { return m_edits[field]; }

  void accept() override;

 private:
  CMatchCriteria m_criteria;
  std::array<QLineEdit*, kFieldCount> m_edits{};
};

// The shortest text with up to 15 significant digits: 0.07 -> "0.07", 1.0 -> "1".
std::string FormatCriterion(double value);
// A finite decimal number with a full stop, blanks around allowed; nothing otherwise.
std::optional<double> ParseCriterion(std::string_view text);
// One line of a criteria form: label, colon and field in columns of their own, so that the
// colons line up. Returns the field.
QLineEdit* AddCriterionRow(QGridLayout* form, int line, const char* labelUtf8, QWidget* parent);
