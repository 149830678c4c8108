#include "host/qt/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool installGermanTranslations() {
  QLocale german(QLocale::German, QLocale::Germany);
  QLocale::setDefault(german);
  // qtbase_de holds the dialogs' and standard buttons' texts; the shipped
  // qt_de is only a catalogue that loads the module files.
  auto* translator = new QTranslator(QCoreApplication::instance());
  if (!translator->load(german, QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  QCoreApplication::installTranslator(translator);
  return true;
}
