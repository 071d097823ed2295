// Linked into every widget test: remembered settings go to an INI file in the folder that
// VELMIRA_TEST_SETTINGS names (CTest sets it), or in the temporary folder, never to the
// user's own store (on Windows the registry, which no environment variable can move).
#include <QCoreApplication>
#include <QDir>
#include <QSettings>

namespace {

void IsolateSettings() {
  QString folder = qEnvironmentVariable("VELMIRA_TEST_SETTINGS");
  if (folder.isEmpty()) folder = QDir::temp().filePath(QStringLiteral("velmira-test-settings"));
  QSettings::setDefaultFormat(QSettings::IniFormat);
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(IsolateSettings)
