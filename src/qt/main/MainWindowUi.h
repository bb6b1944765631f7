#pragma once

#include "core/session/PageSettings.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace vantiro {

// The controls of the main window, laid out in its eight regions, and the copying of their
// values to and from PageSettings. Every control carries its name as objectName.
class MainWindowUi final {
public:
    explicit MainWindowUi(QWidget& window);

    // The control values over the window-level variables of `base`.
    PageSettings read(PageSettings base) const;
    // Shows the values; a control whose value is unchanged is not touched, so an unchanged
    // text keeps its cursor and undo history.
    void write(const PageSettings& settings);

    QGroupBox* Frame1;
    QLabel* Label1;
    QComboBox* cmbDoctype;
    QLabel* Label2;
    QLineEdit* txtTitle;
    QLabel* Label3;
    QLabel* Label4;
    QComboBox* cmbRobots;
    QLabel* Label5;
    QLineEdit* txtDescription;
    QLabel* Label6;
    QLineEdit* txtAuthor;
    QLabel* Label7;
    QComboBox* cmbPragma;
    QLabel* Label8;
    QComboBox* cmbRevisit;
    QLabel* Label15;
    QLabel* Label9;
    QComboBox* cmbCaching;

    QGroupBox* Frame2;
    QPlainTextEdit* txtScripting;

    QLabel* Label18;
    QLabel* Label10;
    QLineEdit* txtKeyword;
    QPushButton* cmdLadeKeyword;
    QPushButton* cmdCreateKeyword;

    QGroupBox* Frame3;
    QPlainTextEdit* txtBody;

    QPushButton* cmdSeitenhintergrund;
    QPushButton* cmdSchriftart;
    QPushButton* cmdSchriftfarbe;
    QPushButton* cmdLinkfarbe;
    QPushButton* cmdBeispielcode;
    QLabel* Label14;
    QLabel* Label11;

    QGroupBox* Frame4;
    QRadioButton* optKeywords;
    QRadioButton* optDateiname;
    QButtonGroup* namingGroup;
    QLabel* Label16;
    QCheckBox* chkImageLinks;
    QLabel* Label17;
    QLineEdit* txtAnzahlSeiten;

    QGroupBox* Frame5;
    QLabel* Label19;
    QPushButton* cmdUpload;

    QPushButton* cmdErstellen;
    QPushButton* cmdVorschau;
    QPushButton* cmdVorlageLaden;
    QPushButton* cmdVorlageSpeichern;
    QFrame* Line1;
    QPushButton* cmbReset;
    QPushButton* cmdEnde;

private:
    void createControls(QWidget& window);
    void layOut(QWidget& window);
    void setUpKeyboard();
};

} // namespace vantiro
