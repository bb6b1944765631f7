#include "qt/main/frmKeywords.h"

#include "core/keywords/KeywordFileWriter.h"
#include "qt/main/BusyCursor.h"
#include "qt/main/WidgetText.h"
#include "qt/platform/LocalPath.h"
#include "qt/platform/MessageBoxes.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantiro {
namespace {

constexpr int typedTextLimit = 32000;

} // namespace

frmKeywords::frmKeywords(MessageBoxes& boxes, std::string programFolder, QWidget* parent)
    : QDialog(parent), boxes_(boxes), programFolder_(std::move(programFolder))
{
    setObjectName(QStringLiteral("frmKeywords"));
    setWindowTitle(QStringLiteral("Keyworddatei anlegen"));
    setModal(true);

    Label1 =
        new QLabel(QStringLiteral("Geben Sie Ihre Keywords, getrennt durch Komma, ein:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    txtKeywords = new QLineEdit(this);
    txtKeywords->setObjectName(QStringLiteral("txtKeywords"));
    txtKeywords->setMaxLength(typedTextLimit);
    txtKeywords->setMinimumWidth(420);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdAbbrechen = new QPushButton(QStringLiteral("Abbrechen"), this);
    cmdAbbrechen->setObjectName(QStringLiteral("cmdAbbrechen"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdAbbrechen);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(txtKeywords);
    layout->addLayout(buttons);

    connect(cmdOK, &QPushButton::clicked, this, &frmKeywords::cmdOK_Click);
    connect(cmdAbbrechen, &QPushButton::clicked, this, &QDialog::reject);
    txtKeywords->setFocus();
}

void frmKeywords::cmdOK_Click()
{
    BusyCursor busy;
    const KeywordFileWriter::Result result =
        KeywordFileWriter::write(programFolder_, WidgetText::toCp1252(txtKeywords->text()));
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
    txtKeywords->setFocus();
}

} // namespace vantiro
