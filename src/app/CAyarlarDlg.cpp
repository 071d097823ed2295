#include "app/CAyarlarDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <algorithm>
#include <charconv>
#include <string>
#include <cmath>

std::string FormatCriterion(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  return std::string(buffer, result.ptr);
}

std::optional<double> ParseCriterion(std::string_view typed) {
  // A Turkish keyboard's decimal separator is the comma; one comma alone means a full stop.
  std::string decimal(typed);
  if (std::count(decimal.begin(), decimal.end(), ',') == 1 && decimal.find('.') == std::string::npos) {
    decimal[decimal.find(',')] = '.';
  }
  std::string_view text = decimal;
  const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  // from_chars takes "inf" and "nan" too; a criterion must be a plain number.
  if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text.front())) || text.front() == '.')) {
    return std::nullopt;
  }
  double value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return negative ? -value : value;
}

QLineEdit* AddCriterionRow(QGridLayout* form, int line, const char* labelUtf8, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  auto* label = new QLabel(QString::fromUtf8(labelUtf8), parent);
  label->setBuddy(edit);
  form->addWidget(label, line, 0);
  form->addWidget(new QLabel(QStringLiteral(":"), parent), line, 1);
  form->addWidget(edit, line, 2);
  return edit;
}

CAyarlarDlg::CAyarlarDlg(const CMatchCriteria& criteria, QWidget* pParent)
    : QDialog(pParent), m_criteria(criteria) {
  setWindowTitle(QStringLiteral("AYARLAR"));
  auto* group = new QGroupBox(QStringLiteral("Kriterler"), this);
  // Label, colon and field in columns of their own, so that the colons line up.
  auto* form = new QGridLayout(group);
  const struct {
    Field field;
    const char* label;
    double value;
  } rows[] = {
      {kMatchTol, "Eşleştirme Toleransı (m)", criteria.dMatchTol},
      {kMaxDiffY, "Max. Fark Sağa (m)", criteria.dMaxDiffY},
      {kMaxDiffX, "Max. Fark Yukarı (m)", criteria.dMaxDiffX},
      {kMaxDiffH, "Max. Fark Elips.H (m)", criteria.dMaxDiffH},
      {kMinDiffHours, "Min. Fark Zaman (saat)", criteria.dMinDiffHours},
  };
  int line = 0;
  for (const auto& row : rows) {
    m_edits[row.field] = AddCriterionRow(form, line++, row.label, group);
    m_edits[row.field]->setText(QString::fromStdString(FormatCriterion(row.value)));
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Vertical, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(group);
  layout->addWidget(buttons, 0, Qt::AlignTop);
}

void CAyarlarDlg::accept() {
  std::array<double, kFieldCount> values{};
  for (int f = 0; f < kFieldCount; ++f) {
    const auto value = ParseCriterion(m_edits[f]->text().toStdString());
    if (!value) {
      QMessageBox::warning(this, QStringLiteral("Velmira"), QStringLiteral("Lütfen bir sayı girin (örnek 0.07)"));
      m_edits[f]->setFocus();
      m_edits[f]->selectAll();
      return;
    }
    values[f] = *value;
  }
  m_criteria.dMatchTol = values[kMatchTol];
  m_criteria.dMaxDiffY = values[kMaxDiffY];
  m_criteria.dMaxDiffX = values[kMaxDiffX];
  m_criteria.dMaxDiffH = values[kMaxDiffH];
  m_criteria.dMinDiffHours = values[kMinDiffHours];
  QDialog::accept();
}
