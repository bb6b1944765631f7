#include "qt/main/KeywordDialog.h"

#include "core/generator/KeywordList.h"
#include "core/keywords/KeywordFileWriter.h"
#include "qt/main/BusyCursor.h"
#include "qt/main/WidgetText.h"
#include "qt/platform/KeyboardAccess.h"
#include "qt/platform/LocalPath.h"
#include "qt/platform/MessageBoxes.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantiro {
namespace {

// One piece of the typed text becomes one line of the file; a run reads lines up to this length.
constexpr int typedTextLimit = static_cast<int>(KeywordList::maxKeywordLength);

} // namespace

KeywordDialog::KeywordDialog(MessageBoxes& boxes, std::string programFolder, QWidget* parent)
    : QDialog(parent), boxes_(boxes), programFolder_(std::move(programFolder))
{
    setObjectName(QStringLiteral("frmKeywords"));
    setWindowTitle(QStringLiteral("Keyworddatei anlegen"));
    setModal(true);

    promptLabel =
        new QLabel(QStringLiteral("Geben Sie Ihre Keywords, getrennt durch Komma, ein:"), this);
    promptLabel->setObjectName(QStringLiteral("Label1"));
    keywordsEdit = new QLineEdit(this);
    keywordsEdit->setObjectName(QStringLiteral("txtKeywords"));
    keywordsEdit->setMaxLength(typedTextLimit);
    keywordsEdit->setMinimumWidth(420);
    KeyboardAccess::nameByLabel(*promptLabel, *keywordsEdit);
    okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setObjectName(QStringLiteral("cmdOK"));
    okButton->setDefault(true);
    cancelButton = new QPushButton(QStringLiteral("Abbrechen"), this);
    cancelButton->setObjectName(QStringLiteral("cmdAbbrechen"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(promptLabel);
    layout->addWidget(keywordsEdit);
    layout->addLayout(buttons);

    connect(okButton, &QPushButton::clicked, this, &KeywordDialog::acceptKeywords);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    keywordsEdit->setFocus();
}

void KeywordDialog::acceptKeywords()
{
    BusyCursor busy;
    const KeywordFileWriter::Result result =
        KeywordFileWriter::write(programFolder_, WidgetText::toCp1252(keywordsEdit->text()));
    busy.hide();

    switch (result.status) {
    case KeywordFileWriter::Status::Written:
        writtenFile_ = LocalPath::toQt(result.path);
        accept();
        return;
    case KeywordFileWriter::Status::Refused:
        boxes_.message(WidgetText::fromUtf8(KeywordFileWriter::refusedTitle),
                       WidgetText::fromUtf8(KeywordFileWriter::refusedText),
                       MessageBoxes::Icon::Exclamation);
        break;
    case KeywordFileWriter::Status::WriteFailed:
        // The dialog stays open so that the typed keywords are not lost.
        boxes_.message(QStringLiteral("Keyword-Datei nicht geschrieben"),
                       QStringLiteral("Die Keyword-Datei %1 konnte nicht geschrieben werden. "
                                      "Prüfen Sie, ob der Ordner keywordfile beschreibbar ist.")
                           .arg(LocalPath::toQt(result.path)),
                       MessageBoxes::Icon::Exclamation);
        break;
    }
    keywordsEdit->setFocus();
}

} // namespace vantiro
