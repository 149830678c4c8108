#include "host/qt/FileDialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>
#include <map>

namespace {
QString describe(const QString& type) {
  static const std::map<QString, QString> kinds = {
      {QStringLiteral("txt"), QStringLiteral("Textdateien")},
      {QStringLiteral("gr"), QStringLiteral("Bilder des Spiels")},
      {QStringLiteral("png"), QStringLiteral("PNG-Bilder")},
      {QStringLiteral("word"), QStringLiteral("Adventure-Daten")},
      {QStringLiteral("font"), QStringLiteral("Bitmap-Schriften")},
      {QStringLiteral("keys"), QStringLiteral("Tastendateien")},
  };
  auto found = kinds.find(type.toLower());
  return found != kinds.end() ? found->second : type.toUpper() + QStringLiteral("-Dateien");
}

// Linux file names tell case apart: "*.txt" alone would hide "NOTIZ.TXT".
QString patternsOf(const QString& type) {
  QString lower = QStringLiteral("*.") + type.toLower();
  QString upper = QStringLiteral("*.") + type.toUpper();
  return lower == upper ? lower : lower + QLatin1Char(' ') + upper;
}

QString pathOf(const QString& chosen) {
  return chosen.normalized(QString::NormalizationForm_C);
}

QString panelTitle(const std::string& title, const std::string& message) {
  QString text = QString::fromStdString(title);
  if (!message.empty()) text += QStringLiteral(" \u2013 ") + QString::fromStdString(message);
  return text;
}

// The folder of the last file chosen, kept for the next dialog and the next
// run, so that saves and loads need not search the way there again.
const QString kLastFolderKey = QStringLiteral("dialogs/lastFolder");

void useOwnDialog(QFileDialog& dialog) {
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setModal(true);
  const QString folder = QSettings().value(kLastFolderKey).toString();
  if (!folder.isEmpty() && QFileInfo(folder).isDir()) dialog.setDirectory(folder);
}

void rememberFolderOf(const QString& chosen) {
  QSettings().setValue(kLastFolderKey, QFileInfo(chosen).absolutePath());
}
}  // namespace

QStringList nameFilters(const std::string& allowedTypes, bool othersToo) {
  QStringList types;
  for (const QString& type :
       QString::fromStdString(allowedTypes).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
    if (!type.trimmed().isEmpty()) types << type.trimmed();
  }
  QStringList filters;
  if (types.size() > 1) {
    QStringList all;
    for (const QString& type : types) all << patternsOf(type);
    filters << QStringLiteral("Alle passenden Dateien (%1)").arg(all.join(QLatin1Char(' ')));
  }
  for (const QString& type : types)
    filters << QStringLiteral("%1 (%2)").arg(describe(type), patternsOf(type));
  if (types.isEmpty() || othersToo) filters << QStringLiteral("Alle Dateien (*)");
  return filters;
}

std::vector<std::string> runOpenPanel(const host::OpenPanelRequest& request) {
  QFileDialog dialog(nullptr, panelTitle(request.title, request.message));
  useOwnDialog(dialog);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  if (request.foldersMode) {
    dialog.setFileMode(QFileDialog::Directory);
  } else {
    dialog.setFileMode(request.multipleSelection ? QFileDialog::ExistingFiles
                                                 : QFileDialog::ExistingFile);
  }
  dialog.setLabelText(QFileDialog::Accept,
                      request.foldersMode ? QStringLiteral("Wählen") : QStringLiteral("Öffnen"));
  dialog.setNameFilters(nameFilters(request.allowedTypes, false));
  std::vector<std::string> paths;
  if (dialog.exec() != QDialog::Accepted) return paths;
  for (const QString& chosen : dialog.selectedFiles())
    paths.push_back(pathOf(chosen).toStdString());
  if (!paths.empty()) rememberFolderOf(dialog.selectedFiles().front());
  return paths;
}

std::string runSavePanel(const host::SavePanelRequest& request) {
  QFileDialog dialog(nullptr, panelTitle(request.title, request.message));
  useOwnDialog(dialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Sichern"));
  dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Sichern unter:"));
  dialog.setNameFilters(nameFilters(request.allowedTypes, true));
  dialog.selectFile(QString::fromStdString(request.proposedName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  rememberFolderOf(dialog.selectedFiles().front());
  return pathOf(dialog.selectedFiles().front()).toStdString();
}

QStringList chooseDocuments() {
  QFileDialog dialog(nullptr, QStringLiteral("Öffnen"));
  useOwnDialog(dialog);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFiles);
  dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Öffnen"));
  dialog.setNameFilters(nameFilters("", false));
  if (dialog.exec() != QDialog::Accepted) return {};
  if (!dialog.selectedFiles().isEmpty()) rememberFolderOf(dialog.selectedFiles().front());
  return dialog.selectedFiles();
}
