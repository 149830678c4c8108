#include "host/qt/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <array>
#include <utility>

namespace {

// Qt's German addresses the reader as "Sie"; the game says "Du". These are
// the phrases of Qt's file dialogs and message boxes that do.
constexpr std::array<std::pair<const char*, const char*>, 6> kToDu = {{
    {"Sind Sie sicher, dass Sie '%1' löschen möchten?", "Willst Du '%1' wirklich löschen?"},
    {"Möchten Sie", "Möchtest Du"},
    {"Stellen Sie sicher", "Stelle sicher"},
    {"Bitte wählen Sie", "Bitte wähle"},
    {"Geben Sie", "Gib"},
    {"Drücken Sie", "Drücke"},
}};

// Asks Qt's own translation and says it with "Du"; gives nothing (so that
// the next translator is asked) where Qt's text needs no change.
class DuTranslator : public QTranslator {
 public:
  DuTranslator(const QTranslator* qt, QObject* parent) : QTranslator(parent), qt_(qt) {}
  bool isEmpty() const override { return false; }
  QString translate(const char* context, const char* sourceText, const char* disambiguation,
                    int n) const override {
    QString text = qt_->translate(context, sourceText, disambiguation, n);
    bool changed = false;
    for (const auto& [formal, familiar] : kToDu) {
      const QString from = QString::fromUtf8(formal);
      if (!text.contains(from)) continue;
      text.replace(from, QString::fromUtf8(familiar));
      changed = true;
    }
    return changed ? text : QString();
  }

 private:
  const QTranslator* qt_;
};

}  // namespace

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
  // Installed last, asked first.
  QCoreApplication::installTranslator(new DuTranslator(translator, QCoreApplication::instance()));
  return true;
}
