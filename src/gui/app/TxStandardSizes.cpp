#include "app/TxStandardSizes.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

#include "common/FormPlacement.h"

namespace oravent::gui {

namespace {

constexpr const char* FormName = "StandardSizesForm";
// Rows a table shows at the window's first size.
constexpr int ShownRows = 12;
// The candidate's index in its list, kept on the row's first cell.
constexpr int IndexRole = Qt::UserRole;

QString Q(std::string_view S) {
    return QString::fromUtf8(S.data(), static_cast<int>(S.size()));
}

// A cell that sorts by the number the core gives it, not by its text.
class TSizeItem : public QTableWidgetItem {
public:
    explicit TSizeItem(const TSizeTableCell& Cell)
        : QTableWidgetItem(Q(Cell.Text)), FKey(Cell.Key) {}
    bool operator<(const QTableWidgetItem& Other) const override {
        if (const auto* O = dynamic_cast<const TSizeItem*>(&Other)) return FKey < O->FKey;
        return QTableWidgetItem::operator<(Other);
    }

private:
    double FKey;
};

const std::vector<TSizeCandidate>& ListOf(const TSizeCandidates& C, TSizeShape Shape) {
    return Shape == TSizeShape::Round ? C.Round : C.Rectangular;
}

} // namespace

std::function<void(const QString&)> TStandardSizesForm::MessageHook;

TStandardSizesForm::TStandardSizesForm(TDuctCommands& Commands, QWidget* Parent)
    : QDialog(Parent), FCommands(Commands) {
    setObjectName(FormName);
    setWindowTitle(tr("Standard Sizes"));
    setModal(false);

    Heading = new QLabel(this);
    Heading->setObjectName("Heading");
    Heading->setWordWrap(true);
    Message = new QLabel(this);
    Message->setObjectName("Message");
    Message->setWordWrap(true);
    Message->hide();

    Tabs = new QTabWidget(this);
    FRoundTable = CreateTable(TSizeShape::Round);
    FRectTable = CreateTable(TSizeShape::Rectangular);
    Tabs->addTab(FRoundTable, tr("&Round"));
    Tabs->addTab(FRectTable, tr("Rec&tangular"));
    Tabs->addTab(CreateSeriesPage(), tr("&Series"));

    auto* Hint =
        new QLabel(tr("Double click a size or press Enter to use it in the duct window."), this);
    CloseButton = new QPushButton(tr("&Close"), this);
    CloseButton->setAutoDefault(false);
    CloseButton->setToolTip(tr("Close this window (Escape)"));
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::reject);
    auto* Bottom = new QHBoxLayout;
    Bottom->addWidget(Hint, 1);
    Bottom->addWidget(CloseButton);

    auto* Layout = new QVBoxLayout(this);
    Layout->addWidget(Heading);
    Layout->addWidget(Message);
    Layout->addWidget(Tabs, 1);
    Layout->addLayout(Bottom);

    FFieldUnits = FCommands.SizeUnits();
    FillFields(FCommands.SizeSettings, FFieldUnits);
    try {
        const TFormState Current = CurrentFormState(*this);
        const TFormState S = RestoreFormState(FormName, Current, true, DesktopRect());
        FPlaced = S.Left != Current.Left || S.Top != Current.Top || S.Width != Current.Width ||
                  S.Height != Current.Height;
        if (FPlaced) ApplyFormState(*this, S, true);
    } catch (const std::exception&) {
        // A placement of the wrong kinds: the window is placed as on its first showing.
    }
}

QTableWidget* TStandardSizesForm::CreateTable(TSizeShape Shape) {
    auto* T = new QTableWidget(this);
    T->setObjectName(Shape == TSizeShape::Round ? "RoundTable" : "RectangularTable");
    T->setEditTriggers(QAbstractItemView::NoEditTriggers);
    T->setSelectionBehavior(QAbstractItemView::SelectRows);
    T->setSelectionMode(QAbstractItemView::SingleSelection);
    T->setTabKeyNavigation(false);
    T->setWordWrap(false);
    T->verticalHeader()->hide();
    T->verticalHeader()->setDefaultSectionSize(T->fontMetrics().height() * 3 / 2);
    T->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // Rising size, as the lists come; a click on a caption sorts by it.
    T->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
    T->setSortingEnabled(true);
    T->setToolTip(tr("Double click a size or press Enter to use it; click a caption to sort"));
    T->installEventFilter(this);
    connect(T, &QTableWidget::cellDoubleClicked, this,
            [this, Shape](int Row, int) { ChooseRow(Shape, Row); });
    return T;
}

QWidget* TStandardSizesForm::CreateSeriesPage() {
    auto* Page = new QWidget(this);
    auto* Form = new QFormLayout;
    const QString Captions[4] = {tr("&Metric round (mm)"), tr("Metric rectan&gular (mm)"),
                                 tr("&Imperial round (in)"), tr("Imperial rectangu&lar (in)")};
    for (std::size_t I = 0; I < SeriesEdits.size(); ++I) {
        SeriesEdits[I] = new QLineEdit(Page);
        SeriesEdits[I]->setToolTip(tr("Sizes in %1, separated by blanks, smallest first")
                                       .arg(Q(SeriesUnitCaption(SeriesFields[I].first))));
        Form->addRow(Captions[I], SeriesEdits[I]);
    }
    AspectEdit = new QLineEdit(Page);
    AspectEdit->setToolTip(tr("Longer side / shorter side of a rectangle, at least 1"));
    Form->addRow(tr("As&pect ratio limit"), AspectEdit);
    HeightEdit = new QLineEdit(Page);
    HeightEdit->setToolTip(tr("Rectangles of this height only; empty: any height of the series"));
    FHeightLabel = new QLabel(Page);
    FHeightLabel->setBuddy(HeightEdit);
    Form->addRow(FHeightLabel, HeightEdit);
    VelocityEdit = new QLineEdit(Page);
    VelocityEdit->setToolTip(tr("Sizes with a higher velocity do not fit; empty: no limit"));
    FVelocityLabel = new QLabel(Page);
    FVelocityLabel->setBuddy(VelocityEdit);
    Form->addRow(FVelocityLabel, VelocityEdit);

    ApplyButton = new QPushButton(tr("&Apply"), Page);
    ApplyButton->setToolTip(tr("Use these series and limits (Enter in a field does the same)"));
    DefaultsButton = new QPushButton(tr("Restore &Defaults"), Page);
    DefaultsButton->setToolTip(tr("Fill in the default series and limits; Apply uses them"));
    for (QPushButton* B : {ApplyButton, DefaultsButton})
        B->setAutoDefault(false);
    connect(ApplyButton, &QPushButton::clicked, this, [this] { ApplySettings(); });
    connect(DefaultsButton, &QPushButton::clicked, this, &TStandardSizesForm::RestoreDefaults);
    for (QLineEdit* E : {SeriesEdits[0], SeriesEdits[1], SeriesEdits[2], SeriesEdits[3], AspectEdit,
                         HeightEdit, VelocityEdit})
        connect(E, &QLineEdit::returnPressed, this, [this] { ApplySettings(); });
    auto* Buttons = new QHBoxLayout;
    Buttons->addStretch(1);
    Buttons->addWidget(ApplyButton);
    Buttons->addWidget(DefaultsButton);

    auto* Layout = new QVBoxLayout(Page);
    Layout->addLayout(Form);
    Layout->addLayout(Buttons);
    Layout->addStretch(1);
    return Page;
}

// ---- Tables ----------------------------------------------------------------------

QTableWidget* TStandardSizesForm::Table(TSizeShape Shape) const {
    return Shape == TSizeShape::Round ? FRoundTable : FRectTable;
}

const TSizeCandidate* TStandardSizesForm::RowCandidate(TSizeShape Shape, int Row) const {
    const QTableWidgetItem* Item = Table(Shape)->item(Row, 0);
    if (!Item) return nullptr;
    const auto& List = ListOf(FCandidates, Shape);
    const int Index = Item->data(IndexRole).toInt();
    return Index >= 0 && Index < static_cast<int>(List.size()) ? &List[Index] : nullptr;
}

void TStandardSizesForm::ChooseRow(TSizeShape Shape, int Row) {
    // A copy: entering the size refreshes the lists.
    if (const TSizeCandidate* C = RowCandidate(Shape, Row)) emit SizeChosen(TSizeCandidate(*C));
}

void TStandardSizesForm::Refresh() {
    std::optional<TSizeCandidate> Selected[2];
    for (TSizeShape Shape : {TSizeShape::Round, TSizeShape::Rectangular}) {
        const QTableWidget* T = Table(Shape);
        if (T->selectionModel()->hasSelection())
            if (const TSizeCandidate* C = RowCandidate(Shape, T->currentRow()))
                Selected[static_cast<int>(Shape)] = *C;
    }
    const TSizeTableUnits Units = FCommands.SizeUnits();
    const DuctSheet Sizing = FCommands.SizingSheet();
    FCandidates = StandardSizeCandidates(Sizing, FCommands.SizeSettings, Units.System);
    Heading->setText(Q(SizeTableHeading(Sizing, Units)));
    Message->setText(Q(FCandidates.Message));
    Message->setVisible(!FCandidates.Message.empty());

    for (TSizeShape Shape : {TSizeShape::Round, TSizeShape::Rectangular}) {
        QTableWidget* T = Table(Shape);
        const auto& List = ListOf(FCandidates, Shape);
        const std::vector<std::string> Captions = SizeTableCaptions(Shape, Units);
        T->setSortingEnabled(false);
        T->clearContents();
        T->setColumnCount(static_cast<int>(Captions.size()));
        T->setRowCount(static_cast<int>(List.size()));
        // The unit under the quantity: narrower columns, the whole table in view.
        QStringList Labels;
        for (const std::string& C : Captions) {
            QString L = Q(C);
            if (const int At = L.lastIndexOf(" ("); At > 0) L[At] = '\n';
            Labels << L;
        }
        T->setHorizontalHeaderLabels(Labels);
        const std::optional<TSizeCandidate>& Keep = Selected[static_cast<int>(Shape)];
        int Wanted =
            Shape == TSizeShape::Round ? FCandidates.RoundChoice : FCandidates.RectangularChoice;
        for (int I = 0; I < static_cast<int>(List.size()); ++I) {
            if (Keep && List[I].SameSize(*Keep)) Wanted = I;
            const std::vector<TSizeTableCell> Cells = SizeTableCells(List[I], Units);
            for (int C = 0; C < static_cast<int>(Cells.size()); ++C) {
                auto* Item = new TSizeItem(Cells[C]);
                // Numbers to the right; the last column ("Fits") is words.
                if (C + 1 < static_cast<int>(Cells.size()))
                    Item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                if (List[I].Chosen) {
                    QFont F = Item->font();
                    F.setBold(true);
                    Item->setFont(F);
                }
                if (C == 0) Item->setData(IndexRole, I);
                T->setItem(I, C, Item);
            }
        }
        T->setSortingEnabled(true); // the order the caption shows
        T->resizeColumnsToContents();
        T->clearSelection();
        for (int R = 0; R < T->rowCount(); ++R) {
            if (T->item(R, 0)->data(IndexRole).toInt() != Wanted) continue;
            T->setCurrentCell(R, 0);
            T->selectRow(R);
            T->scrollToItem(T->item(R, 0), QAbstractItemView::PositionAtCenter);
        }
    }
    if (!FieldsEdited()) FillFields(FCommands.SizeSettings, Units);
}

// ---- Series and limits --------------------------------------------------------------

void TStandardSizesForm::FillFields(const TStandardSizeSettings& Settings,
                                    const TSizeTableUnits& Units) {
    const TStandardSizeTexts T = StandardSizeTexts(Settings, Units);
    for (std::size_t I = 0; I < SeriesEdits.size(); ++I)
        SeriesEdits[I]->setText(Q(T.Series[I]));
    AspectEdit->setText(Q(T.AspectLimit));
    HeightEdit->setText(Q(T.FixedHeight));
    VelocityEdit->setText(Q(T.VelocityLimit));
    // A long series shows its smallest sizes.
    for (QLineEdit* E : SeriesEdits)
        E->setCursorPosition(0);
    FFieldUnits = Units;
    FHeightLabel->setText(tr("Fixed &height (%1)").arg(Q(SeriesUnitCaption(Units.System))));
    FVelocityLabel->setText(tr("&Velocity limit (%1)").arg(Q(Units.Velocity.Caption)));
}

bool TStandardSizesForm::FieldsEdited() const {
    return std::any_of(SeriesEdits.begin(), SeriesEdits.end(),
                       [](const QLineEdit* E) { return E->isModified(); }) ||
           AspectEdit->isModified() || HeightEdit->isModified() || VelocityEdit->isModified();
}

bool TStandardSizesForm::ApplySettings() {
    TStandardSizeTexts T;
    for (std::size_t I = 0; I < SeriesEdits.size(); ++I)
        T.Series[I] = SeriesEdits[I]->text().toStdString();
    T.AspectLimit = AspectEdit->text().toStdString();
    T.FixedHeight = HeightEdit->text().toStdString();
    T.VelocityLimit = VelocityEdit->text().toStdString();
    try {
        FCommands.SizeSettings = ReadStandardSizeTexts(T, FFieldUnits);
    } catch (const ESizeSeriesError& E) {
        ShowMessage(QString::fromUtf8(E.what()));
        return false;
    }
    for (QLineEdit* E : {SeriesEdits[0], SeriesEdits[1], SeriesEdits[2], SeriesEdits[3], AspectEdit,
                         HeightEdit, VelocityEdit})
        E->setModified(false);
    Refresh(); // the fields as the settings now read, in the rows' units
    return true;
}

void TStandardSizesForm::RestoreDefaults() {
    FillFields(TStandardSizeSettings{}, FFieldUnits);
    // Not yet applied: a refresh keeps them.
    for (QLineEdit* E : SeriesEdits)
        E->setModified(true);
}

void TStandardSizesForm::ShowMessage(const QString& Text) {
    if (MessageHook) {
        MessageHook(Text);
        return;
    }
    QMessageBox::warning(this, windowTitle(), Text);
}

// ---- Window ----------------------------------------------------------------------------

void TStandardSizesForm::FitToTables() {
    int Width = 0, Height = 0;
    for (QTableWidget* T : {FRoundTable, FRectTable}) {
        T->ensurePolished();
        // A little room to spare: no horizontal scroll bar for a pixel.
        int W = 2 * T->frameWidth() +
                T->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, T) +
                2 * T->fontMetrics().averageCharWidth();
        const QAbstractItemView* View = T; // the public size hint of a column
        for (int C = 0; C < T->columnCount(); ++C)
            W += std::max(View->sizeHintForColumn(C), T->horizontalHeader()->sectionSizeHint(C));
        Width = std::max(Width, W);
        Height = std::max(Height, 2 * T->frameWidth() + T->horizontalHeader()->sizeHint().height() +
                                      ShownRows * T->verticalHeader()->defaultSectionSize());
    }
    // What the window adds around the page of the tab.
    const QSize Extra = size() - Tabs->currentWidget()->size();
    QSize Want(std::max(Width + Extra.width(), sizeHint().width()),
               std::max(Height + Extra.height(), sizeHint().height()));
    const QScreen* S = screen();
    if (!S) {
        resize(Want);
        return;
    }
    const QRect Screen = S->availableGeometry();
    resize(Want.boundedTo(Screen.size() * 9 / 10));
    // Beside the duct window, whose values then stay in view: to its right,
    // left, below or above, else where it covers the least of it.
    const QWidget* Owner = parentWidget();
    if (!Owner) return;
    const QRect O = Owner->frameGeometry();
    const QSize Frame = FrameExtra(*this);
    const auto [X, Y] = PlaceBeside({O.left(), O.top(), O.width(), O.height()},
                                    width() + Frame.width(), height() + Frame.height(),
                                    {Screen.left(), Screen.top(), Screen.width(), Screen.height()},
                                    fontMetrics().averageCharWidth());
    move(X, Y);
}

void TStandardSizesForm::showEvent(QShowEvent* E) {
    Refresh();
    if (!FShown && !FPlaced) FitToTables();
    FShown = true;
    QDialog::showEvent(E);
    if (QWidget* Page = Tabs->currentWidget(); Page != Tabs->widget(2)) Page->setFocus();
}

void TStandardSizesForm::hideEvent(QHideEvent* E) {
    QDialog::hideEvent(E);
    try {
        SaveFormPlacement(*this, objectName());
    } catch (const std::exception&) {
        // The duct window reports a settings file that cannot be written when it closes.
    }
}

bool TStandardSizesForm::eventFilter(QObject* Watched, QEvent* E) {
    if (E->type() == QEvent::KeyPress && (Watched == FRoundTable || Watched == FRectTable)) {
        const int Key = static_cast<QKeyEvent*>(E)->key();
        auto* T = static_cast<QTableWidget*>(Watched);
        if ((Key == Qt::Key_Return || Key == Qt::Key_Enter) &&
            T->selectionModel()->hasSelection()) {
            ChooseRow(T == FRoundTable ? TSizeShape::Round : TSizeShape::Rectangular,
                      T->currentRow());
            return true;
        }
    }
    return QDialog::eventFilter(Watched, E);
}

} // namespace oravent::gui
