// The regulation profiles on the desktop: the "Kontrol Ölçütleri" dialog, and the
// profiles, the choice and the criteria remembered from one run to the next.
#include <QComboBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "TestSupport.h"
#include "app/CAyarlarDlg.h"
#include "app/CKontrolOlcutleriDlg.h"
#include "app/CMainFrame.h"
#include "app/CProfileStore.h"
#include "app/Commands.h"

namespace fs = std::filesystem;
using Dlg = CKontrolOlcutleriDlg;

Q_DECLARE_METATYPE(Dlg::Field)

namespace {

const QString kPrompt = QStringLiteral("Lütfen bir sayı girin (örnek 0.07)");

RuleProfile UserProfile(const char* id, const char* name) {
  RuleProfile profile = *BuiltInProfile(kClassicProfileId);
  profile.id = id;
  profile.name = name;
  profile.dMaxDiffH = 0.03;
  return profile;
}

std::vector<RuleProfile> WithUserProfile() {
  std::vector<RuleProfile> profiles = BuiltInProfiles();
  profiles.push_back(UserProfile("kullanici-1", "Şantiye"));
  return profiles;
}

QStringList ComboTexts(const QComboBox* combo) {
  QStringList texts;
  for (int i = 0; i < combo->count(); ++i) texts << combo->itemText(i);
  return texts;
}

// Answers the name prompt of "Yeni profil" with the text given.
ModalAnswerer::Handler TypeName(const QString& name) {
  return [name](QWidget* w) {
    auto* input = qobject_cast<QInputDialog*>(w);
    QVERIFY(input);
    input->setTextValue(name);
    input->accept();
  };
}

}  // namespace

class ProfilesTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    QSettings().clear();
    dir = std::make_unique<QTemporaryDir>();
    answerer = std::make_unique<ModalAnswerer>();
  }
  void cleanup() {
    if (answerer) QVERIFY2(answerer->Unexpected().isEmpty(), qPrintable(answerer->Unexpected().join('|')));
    answerer.reset();
    dir.reset();
    QSettings().clear();
  }

  void parseCount_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");  // -1: refused
    QTest::newRow("plain") << "10" << 10;
    QTest::newRow("blanks") << " 3 " << 3;
    QTest::newRow("whole with point") << "10.0" << 10;
    QTest::newRow("whole with comma") << "5,0" << 5;
    QTest::newRow("fraction") << "2.5" << -1;
    QTest::newRow("comma fraction") << "2,5" << -1;
    QTest::newRow("letters") << "on" << -1;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("beyond int") << "1e10" << -1;
  }
  void parseCount() {
    QFETCH(QString, text);
    QFETCH(int, expected);
    const std::optional<int> value = ParseCount(text.toStdString());
    if (expected < 0) {
      QVERIFY(!value);
    } else {
      QVERIFY(value);
      QCOMPARE(*value, expected);
    }
  }

  // The toolbar's order and the action's texts are pinned with the other commands.
  void commandFollowsSettingsInMenu() {
    CMainFrame frame(Root() / "cache");
    QMenu* tarvek = nullptr;
    for (QAction* a : frame.menuBar()->actions()) {
      if (a->text() == QStringLiteral("Tarvek Menu")) tarvek = a->menu();
    }
    QVERIFY(tarvek);
    const QList<QAction*> items = tarvek->actions();
    QCOMPARE(items.indexOf(frame.GetAction(ID_KONTROL_OLCUTLERI)), items.indexOf(frame.GetAction(ID_AYARLAR)) + 1);
  }

  void dialogShowsChosenProfile_data() {
    QTest::addColumn<QString>("chosenId");
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<bool>("deletable");
    QTest::newRow("network") << "ag-rtk" << 0 << QStringList{"3", "10", "5", "0.07", "0.07", "0.07", "1"} << false;
    QTest::newRow("classic") << "klasik-rtk" << 1 << QStringList{"1", "10", "5", "0.07", "0.07", "0.07", "1"}
                             << false;
    QTest::newRow("user's own") << "kullanici-1" << 2 << QStringList{"1", "10", "5", "0.07", "0.07", "0.03", "1"}
                                << true;
    QTest::newRow("unknown id shows the first") << "yok" << 0
                                                << QStringList{"3", "10", "5", "0.07", "0.07", "0.07", "1"} << false;
  }
  void dialogShowsChosenProfile() {
    QFETCH(QString, chosenId);
    QFETCH(int, index);
    QFETCH(QStringList, fields);
    QFETCH(bool, deletable);
    Dlg dialog(WithUserProfile(), chosenId.toStdString());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Kontrol Ölçütleri"));
    QCOMPARE(ComboTexts(dialog.GetProfileCombo()),
             (QStringList{"Ağ RTK (TUSAGA-Aktif)", "Klasik RTK", "Şantiye"}));
    QCOMPARE(dialog.GetProfileCombo()->currentIndex(), index);
    QStringList shown;
    for (int f = 0; f < Dlg::kFieldCount; ++f) shown << dialog.GetEdit(static_cast<Dlg::Field>(f))->text();
    QCOMPARE(shown, fields);
    QVERIFY(dialog.GetSourceView()->isReadOnly());
    QVERIFY(dialog.GetSourceView()->toPlainText().contains(QStringLiteral("2025")));
    QCOMPARE(dialog.GetDeleteButton()->isEnabled(), deletable);
    QCOMPARE(dialog.GetRestoreButton()->isEnabled(), !deletable);
  }

  // Every field reaches its own limit; the decimal comma of a Turkish keyboard is a point.
  void editReachesProfile_data() {
    QTest::addColumn<Dlg::Field>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("expected");
    QTest::newRow("detail epochs") << Dlg::kDetailEpochs << "4" << 4.0;
    QTest::newRow("pair epochs") << Dlg::kPairEpochs << "12" << 12.0;
    QTest::newRow("satellites") << Dlg::kSatellites << " 6 " << 6.0;
    QTest::newRow("diff y, comma") << Dlg::kMaxDiffY << "0,05" << 0.05;
    QTest::newRow("diff x") << Dlg::kMaxDiffX << "0.1" << 0.1;
    QTest::newRow("diff h, comma") << Dlg::kMaxDiffH << "0,125" << 0.125;
    QTest::newRow("hours") << Dlg::kMinDiffHours << "1,5" << 1.5;
  }
  void editReachesProfile() {
    QFETCH(Dlg::Field, field);
    QFETCH(QString, typed);
    QFETCH(double, expected);
    Dlg dialog(BuiltInProfiles(), kNetworkProfileId);
    dialog.GetEdit(field)->setText(typed);
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const RuleProfile& chosen = dialog.GetChosen();
    const double values[] = {double(chosen.minDetailEpochs), double(chosen.minPairEpochs),
                             double(chosen.minSatellites),   chosen.dMaxDiffY,
                             chosen.dMaxDiffX,               chosen.dMaxDiffH,
                             chosen.dMinDiffHours};
    QCOMPARE(values[field], expected);
    QCOMPARE(QString::fromStdString(DisplayName(chosen)), QStringLiteral("Ağ RTK (TUSAGA-Aktif) (değiştirildi)"));
    QCOMPARE(dialog.GetProfileCombo()->itemText(0), QStringLiteral("Ağ RTK (TUSAGA-Aktif) (değiştirildi)"));
  }

  void badNumberPromptsAndStays_data() {
    QTest::addColumn<Dlg::Field>("field");
    QTest::addColumn<QString>("typed");
    QTest::newRow("letters") << Dlg::kMaxDiffX << "yedi";
    QTest::newRow("empty") << Dlg::kMinDiffHours << "";
    QTest::newRow("two commas") << Dlg::kMaxDiffY << "0,0,7";
    QTest::newRow("fractional epochs") << Dlg::kPairEpochs << "9.5";
    QTest::newRow("not a number") << Dlg::kSatellites << "nan";
  }
  void badNumberPromptsAndStays() {
    QFETCH(Dlg::Field, field);
    QFETCH(QString, typed);
    Dlg dialog(BuiltInProfiles(), kClassicProfileId);
    dialog.show();
    dialog.GetEdit(field)->setText(typed);
    answerer->ExpectMessage();
    dialog.accept();
    QVERIFY(answerer->Done());
    QCOMPARE(answerer->Messages().back().text, kPrompt);
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(dialog.focusWidget(), dialog.GetEdit(field));
    QCOMPARE(dialog.GetChosen(), *BuiltInProfile(kClassicProfileId));

    // Choosing another profile first asks for the number too, and stays where it was.
    answerer->ExpectMessage();
    dialog.GetProfileCombo()->setCurrentIndex(0);
    QVERIFY(answerer->Done());
    QCOMPARE(dialog.GetProfileCombo()->currentIndex(), 1);
    QCOMPARE(dialog.GetEdit(field)->text(), typed);
  }

  // Edits typed for one profile stay with it when another is chosen.
  void switchingKeepsEdits() {
    Dlg dialog(BuiltInProfiles(), kNetworkProfileId);
    dialog.GetEdit(Dlg::kMaxDiffY)->setText(QStringLiteral("0,09"));
    dialog.GetProfileCombo()->setCurrentIndex(1);
    QCOMPARE(dialog.GetEdit(Dlg::kMaxDiffY)->text(), QStringLiteral("0.07"));
    QCOMPARE(dialog.GetProfileCombo()->itemText(0), QStringLiteral("Ağ RTK (TUSAGA-Aktif) (değiştirildi)"));
    dialog.GetProfileCombo()->setCurrentIndex(0);
    QCOMPARE(dialog.GetEdit(Dlg::kMaxDiffY)->text(), QStringLiteral("0.09"));
    dialog.accept();
    QCOMPARE(dialog.GetProfiles()[0].dMaxDiffY, 0.09);
    QCOMPARE(dialog.GetProfiles()[1], *BuiltInProfile(kClassicProfileId));
  }

  void newProfile_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("added");
    QTest::addColumn<bool>("warned");
    QTest::newRow("new name") << "Benim profilim" << true << false;
    QTest::newRow("blanks around") << "  Köy işi " << true << false;
    QTest::newRow("empty") << "   " << false << false;
    QTest::newRow("name of a built-in") << "klasik rtk" << false << true;
    QTest::newRow("name of a user profile") << "Şantiye" << false << true;
  }
  void newProfile() {
    QFETCH(QString, typed);
    QFETCH(bool, added);
    QFETCH(bool, warned);
    Dlg dialog(WithUserProfile(), kNetworkProfileId);
    dialog.GetEdit(Dlg::kMaxDiffH)->setText(QStringLiteral("0,04"));
    answerer->Expect(TypeName(typed));
    if (warned) answerer->ExpectMessage();
    dialog.GetNewButton()->click();
    QTRY_VERIFY(answerer->Done());
    const std::vector<RuleProfile>& profiles = dialog.GetProfiles();
    QCOMPARE(profiles.size(), std::size_t(added ? 4 : 3));
    if (!added) {
      QCOMPARE(dialog.GetProfileCombo()->currentIndex(), 0);
      return;
    }
    const RuleProfile& copy = profiles.back();
    QCOMPARE(dialog.GetProfileCombo()->currentIndex(), 3);
    QCOMPARE(dialog.GetProfileCombo()->currentText(), typed.trimmed());
    QCOMPARE(QString::fromStdString(copy.name), typed.trimmed());
    // A fresh id: never a built-in one, never the user profile's already there.
    QCOMPARE(copy.id, std::string("kullanici-2"));
    QVERIFY(copy.network);
    QCOMPARE(copy.minDetailEpochs, 3);
    QCOMPARE(copy.dMaxDiffH, 0.04);  // the edit typed before, copied along
    QCOMPARE(copy.source, BuiltInProfile(kNetworkProfileId)->source);
    QVERIFY(dialog.GetDeleteButton()->isEnabled());
    QVERIFY(!dialog.GetRestoreButton()->isEnabled());
    dialog.accept();
    QCOMPARE(dialog.GetChosen().id, std::string("kullanici-2"));
  }

  void deleteOnlyUserProfiles() {
    Dlg dialog(WithUserProfile(), "kullanici-1");
    QVERIFY(dialog.GetDeleteButton()->isEnabled());
    dialog.GetDeleteButton()->click();
    QCOMPARE(ComboTexts(dialog.GetProfileCombo()), (QStringList{"Ağ RTK (TUSAGA-Aktif)", "Klasik RTK"}));
    QCOMPARE(dialog.GetProfileCombo()->currentIndex(), 1);
    QVERIFY(!dialog.GetDeleteButton()->isEnabled());
    dialog.GetDeleteButton()->click();  // a disabled button does nothing; nor would the slot
    dialog.accept();
    QCOMPARE(dialog.GetProfiles(), BuiltInProfiles());
    QCOMPARE(dialog.GetChosen().id, std::string(kClassicProfileId));
  }

  void restoreDefaults() {
    std::vector<RuleProfile> profiles = BuiltInProfiles();
    profiles[1].dMaxDiffX = 0.2;
    profiles[1].minSatellites = 7;
    Dlg dialog(profiles, kClassicProfileId);
    QCOMPARE(dialog.GetProfileCombo()->itemText(1), QStringLiteral("Klasik RTK (değiştirildi)"));
    QCOMPARE(dialog.GetEdit(Dlg::kMaxDiffX)->text(), QStringLiteral("0.2"));
    dialog.GetEdit(Dlg::kMaxDiffY)->setText(QStringLiteral("0.3"));
    dialog.GetRestoreButton()->click();
    QCOMPARE(dialog.GetProfileCombo()->itemText(1), QStringLiteral("Klasik RTK"));
    QCOMPARE(dialog.GetEdit(Dlg::kMaxDiffX)->text(), QStringLiteral("0.07"));
    QCOMPARE(dialog.GetEdit(Dlg::kMaxDiffY)->text(), QStringLiteral("0.07"));
    QCOMPARE(dialog.GetEdit(Dlg::kSatellites)->text(), QStringLiteral("5"));
    dialog.accept();
    QCOMPARE(dialog.GetChosen(), *BuiltInProfile(kClassicProfileId));
  }

  void freshUserStartsFromDefaults() {
    CMainFrame frame(Root() / "cache");
    QCOMPARE(frame.GetActiveProfile(), *BuiltInProfile(kNetworkProfileId));
    QCOMPARE(frame.GetProfiles(), BuiltInProfiles());
    const CMatchCriteria criteria = frame.GetDocument().Criteria();
    QCOMPARE(criteria.dMaxDiffY, 0.07);
    QCOMPARE(criteria.dMaxDiffX, 0.07);
    QCOMPARE(criteria.dMaxDiffH, 0.07);
    QCOMPARE(criteria.dMinDiffHours, 1.0);
    QCOMPARE(criteria.dMatchTol, 1.0);
  }

  void cancelChangesNothing() {
    auto frame = std::make_unique<CMainFrame>(Root() / "cache");
    answerer->Expect([](QWidget* w) {
      auto* dialog = qobject_cast<Dlg*>(w);
      QVERIFY(dialog);
      dialog->GetEdit(Dlg::kMaxDiffY)->setText(QStringLiteral("0.5"));
      dialog->GetProfileCombo()->setCurrentIndex(1);
      dialog->reject();
    });
    frame->GetAction(ID_KONTROL_OLCUTLERI)->trigger();
    QVERIFY(answerer->Done());
    QCOMPARE(frame->GetActiveProfile(), *BuiltInProfile(kNetworkProfileId));
    QCOMPARE(frame->GetProfiles(), BuiltInProfiles());
    QCOMPARE(frame->GetDocument().m_dMaxDiffY, 0.07);
    QVERIFY(QSettings().childGroups().indexOf(QStringLiteral("profiles")) < 0);
  }

  // Everything the user set survives a restart: the own profile chosen, an edited built-in,
  // and the criteria of "Ayarlar" (limits into the active profile, the tolerance beside).
  void survivesRestart() {
    auto frame = std::make_unique<CMainFrame>(Root() / "cache");
    answerer->Expect([this](QWidget* w) {
      auto* dialog = qobject_cast<Dlg*>(w);
      QVERIFY(dialog);
      dialog->GetEdit(Dlg::kSatellites)->setText(QStringLiteral("6"));
      dialog->GetProfileCombo()->setCurrentIndex(1);
      // Typed before "Yeni profil": the edit stays with "Klasik RTK" and goes into the copy.
      dialog->GetEdit(Dlg::kMaxDiffH)->setText(QStringLiteral("0,03"));
      answerer->Expect(TypeName(QStringLiteral("Şantiye")));
      answerer->Expect([](QWidget* again) { qobject_cast<Dlg*>(again)->accept(); });
      dialog->GetNewButton()->click();
    });
    frame->GetAction(ID_KONTROL_OLCUTLERI)->trigger();
    QTRY_VERIFY(answerer->Done());
    QCOMPARE(frame->GetActiveProfile().name, std::string("Şantiye"));
    QCOMPARE(frame->GetDocument().m_dMaxDiffH, 0.03);

    answerer->Expect([](QWidget* w) {
      auto* dialog = qobject_cast<CAyarlarDlg*>(w);
      QVERIFY(dialog);
      dialog->GetEdit(CAyarlarDlg::kMatchTol)->setText(QStringLiteral("2,5"));
      dialog->GetEdit(CAyarlarDlg::kMaxDiffY)->setText(QStringLiteral("0.04"));
      dialog->accept();
    });
    frame->GetAction(ID_AYARLAR)->trigger();
    QVERIFY(answerer->Done());
    const RuleProfile active = frame->GetActiveProfile();
    const std::vector<RuleProfile> profiles = frame->GetProfiles();
    frame.reset();

    frame = std::make_unique<CMainFrame>(Root() / "cache");
    QCOMPARE(frame->GetActiveProfile(), active);
    QCOMPARE(frame->GetProfiles(), profiles);
    QCOMPARE(frame->GetProfiles().size(), std::size_t{3});
    QCOMPARE(frame->GetActiveProfile().dMaxDiffY, 0.04);
    QCOMPARE(frame->GetActiveProfile().dMaxDiffH, 0.03);
    QCOMPARE(frame->GetProfiles()[0].minSatellites, 6);
    QCOMPARE(QString::fromStdString(DisplayName(frame->GetProfiles()[0])),
             QStringLiteral("Ağ RTK (TUSAGA-Aktif) (değiştirildi)"));
    QCOMPARE(QString::fromStdString(DisplayName(frame->GetProfiles()[1])), QStringLiteral("Klasik RTK (değiştirildi)"));
    QCOMPARE(frame->GetProfiles()[1].dMaxDiffY, 0.07);  // "Ayarlar" edited the active profile alone
    const CMatchCriteria criteria = frame->GetDocument().Criteria();
    QCOMPARE(criteria.dMatchTol, 2.5);
    QCOMPARE(criteria.dMaxDiffY, 0.04);
    QCOMPARE(criteria.dMaxDiffH, 0.03);
  }

  // "Ayarlar" edits the active built-in profile, which then reads as changed until the
  // profile dialog restores it; the restored limits are the criteria again, also after a restart.
  void ayarlarMarksBuiltInChanged() {
    auto frame = std::make_unique<CMainFrame>(Root() / "cache");
    answerer->Expect([](QWidget* w) {
      auto* dialog = qobject_cast<CAyarlarDlg*>(w);
      QVERIFY(dialog);
      dialog->GetEdit(CAyarlarDlg::kMaxDiffX)->setText(QStringLiteral("0.1"));
      dialog->accept();
    });
    frame->GetAction(ID_AYARLAR)->trigger();
    QVERIFY(answerer->Done());
    QCOMPARE(QString::fromStdString(DisplayName(frame->GetActiveProfile())),
             QStringLiteral("Ağ RTK (TUSAGA-Aktif) (değiştirildi)"));
    frame.reset();
    frame = std::make_unique<CMainFrame>(Root() / "cache");
    QCOMPARE(frame->GetDocument().m_dMaxDiffX, 0.1);

    answerer->Expect([](QWidget* w) {
      auto* dialog = qobject_cast<Dlg*>(w);
      QVERIFY(dialog);
      QCOMPARE(dialog->GetProfileCombo()->currentText(), QStringLiteral("Ağ RTK (TUSAGA-Aktif) (değiştirildi)"));
      QCOMPARE(dialog->GetEdit(Dlg::kMaxDiffX)->text(), QStringLiteral("0.1"));
      dialog->GetRestoreButton()->click();
      dialog->accept();
    });
    frame->GetAction(ID_KONTROL_OLCUTLERI)->trigger();
    QVERIFY(answerer->Done());
    QCOMPARE(frame->GetActiveProfile(), *BuiltInProfile(kNetworkProfileId));
    QCOMPARE(frame->GetDocument().m_dMaxDiffX, 0.07);
    frame.reset();
    frame = std::make_unique<CMainFrame>(Root() / "cache");
    QCOMPARE(frame->GetActiveProfile(), *BuiltInProfile(kNetworkProfileId));
  }

  // A damaged or hand-edited store never yields a half-read profile or a clash of ids.
  void damagedStore_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<int>("count");
    QTest::addColumn<double>("tolerance");
    QTest::addColumn<double>("networkDiffY");
    QTest::newRow("unknown chosen id") << "profiles/chosen" << "yok" << "ag-rtk" << 3 << 1.0 << 0.07;
    QTest::newRow("tolerance not a number") << "profiles/matchTolerance" << "bir" << "kullanici-1" << 3 << 1.0
                                            << 0.07;
    QTest::newRow("built-in limit not a number") << "profiles/builtIn/ag-rtk/maxDiffY" << "x" << "kullanici-1" << 3
                                                 << 1.0 << 0.07;
    QTest::newRow("built-in limit edited") << "profiles/builtIn/ag-rtk/maxDiffY" << "0.02" << "kullanici-1" << 3
                                           << 1.0 << 0.02;
    QTest::newRow("user profile under a built-in id") << "profiles/user/1/id" << "klasik-rtk" << "ag-rtk" << 2
                                                      << 1.0 << 0.07;
    QTest::newRow("user profile without a name") << "profiles/user/1/name" << "" << "ag-rtk" << 2 << 1.0 << 0.07;
  }
  void damagedStore() {
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, chosen);
    QFETCH(int, count);
    QFETCH(double, tolerance);
    QFETCH(double, networkDiffY);
    CProfileStore::Save({WithUserProfile(), "kullanici-1", 1.0});
    QSettings().setValue(key, value);
    const ProfileSet set = CProfileStore::Load();
    QCOMPARE(QString::fromStdString(set.chosenId), chosen);
    QCOMPARE(int(set.profiles.size()), count);
    QCOMPARE(set.dMatchTol, tolerance);
    QCOMPARE(set.profiles[0].dMaxDiffY, networkDiffY);
    QCOMPARE(set.profiles[1], *BuiltInProfile(kClassicProfileId));
  }

  // Deleting a user profile or restoring a built-in one leaves nothing stored behind.
  void saveWritesWhole() {
    std::vector<RuleProfile> profiles = WithUserProfile();
    profiles.push_back(UserProfile("kullanici-2", "İkinci"));
    profiles[0].dMaxDiffY = 0.5;
    CProfileStore::Save({profiles, "kullanici-2", 3.0});
    QCOMPARE(CProfileStore::Load().profiles, profiles);
    CProfileStore::Save({BuiltInProfiles(), "ag-rtk", 1.0});
    QCOMPARE(CProfileStore::Load().profiles, BuiltInProfiles());
    QSettings settings;
    settings.beginGroup(QStringLiteral("profiles"));
    for (const QString& key : settings.allKeys()) {
      QVERIFY2(!key.startsWith(QStringLiteral("builtIn/")) && !key.startsWith(QStringLiteral("user/1/")),
               qPrintable(key));
    }
  }

 private:
  fs::path Root() const { return fs::path(dir->path().toStdString()); }

  std::unique_ptr<QTemporaryDir> dir;
  std::unique_ptr<ModalAnswerer> answerer;
};

QTEST_MAIN(ProfilesTest)
#include "profiles_test.moc"
