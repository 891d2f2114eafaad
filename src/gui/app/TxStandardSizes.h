// The "Standard Sizes" window of the duct calculator: the round and
// rectangular sizes of the size series around the size the sheet solved,
// each evaluated for the sheet, with the choice of each list in bold; and
// the series and limits the search uses. The candidates, every text, unit
// and sort key, and the reading of the typed series come from the core
// (StandardSizes.h, StandardSizeTable.h); this window only shows them.
//
// Non-modal, owned by the duct window, whose commands it reads and whose
// SizeSettings it writes. Choosing a row (double click, Enter or Return)
// emits SizeChosen; the duct window enters that size and, once the sheet
// has changed, calls Refresh.
#pragma once

#include <QDialog>

#include <array>
#include <functional>

#include "duct/DuctCommands.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace oravent::gui {

class TStandardSizesForm : public QDialog {
    Q_OBJECT
public:
    // Hidden; restores its stored placement (section "StandardSizesForm").
    TStandardSizesForm(TDuctCommands& Commands, QWidget* Parent);

    // The candidates for the sheet as it is now, in both tables; the tab,
    // each table's sort order and the selected size (while it is still a
    // candidate; else the list's choice) stay. The settings fields are
    // filled again unless they hold an edit not yet applied.
    void Refresh();
    const TSizeCandidates& Candidates() const { return FCandidates; }

    // The list's table; the candidate shown in a row of it (whatever the
    // sort order), nullptr for a row that is not one.
    QTableWidget* Table(TSizeShape Shape) const;
    const TSizeCandidate* RowCandidate(TSizeShape Shape, int Row) const;
    // Emits SizeChosen for the candidate of the row.
    void ChooseRow(TSizeShape Shape, int Row);

    // The settings fields: reads them into the commands' SizeSettings and
    // shows the tables for them; a field that cannot be used is reported
    // (its text stays) and changes nothing. True when the settings were taken.
    bool ApplySettings();
    // Fills the fields with the default series and limits; Apply takes them.
    void RestoreDefaults();

    QTabWidget* Tabs = nullptr;
    QLabel* Heading = nullptr;
    QLabel* Message = nullptr;
    // Metric round, metric rectangular, imperial round, imperial rectangular.
    std::array<QLineEdit*, 4> SeriesEdits{};
    QLineEdit* AspectEdit = nullptr;
    QLineEdit* HeightEdit = nullptr;
    QLineEdit* VelocityEdit = nullptr;
    QPushButton* ApplyButton = nullptr;
    QPushButton* DefaultsButton = nullptr;
    QPushButton* CloseButton = nullptr;

    // Replaces the message box (tests record the messages).
    static std::function<void(const QString&)> MessageHook;

signals:
    void SizeChosen(const oravent::TSizeCandidate& Size);

protected:
    void showEvent(QShowEvent* E) override;
    void hideEvent(QHideEvent* E) override;
    bool eventFilter(QObject* Watched, QEvent* E) override;

private:
    QTableWidget* CreateTable(TSizeShape Shape);
    QWidget* CreateSeriesPage();
    void FillTable(TSizeShape Shape);
    // The fields from settings, their units from Units.
    void FillFields(const TStandardSizeSettings& Settings, const TSizeTableUnits& Units);
    bool FieldsEdited() const;
    void ShowMessage(const QString& Text);
    // Wide enough for every column of both tables, about a dozen rows high,
    // beside the duct window where the screen has room.
    void FitToTables();

    TDuctCommands& FCommands;
    TSizeCandidates FCandidates;
    QTableWidget* FRoundTable = nullptr;
    QTableWidget* FRectTable = nullptr;
    QLabel* FHeightLabel = nullptr;
    QLabel* FVelocityLabel = nullptr;
    // The units the fields' texts are written in.
    TSizeTableUnits FFieldUnits;
    bool FShown = false;
    bool FPlaced = false; // a stored placement was applied
};

} // namespace oravent::gui
