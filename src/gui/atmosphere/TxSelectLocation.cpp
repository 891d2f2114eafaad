#include "atmosphere/TxSelectLocation.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

#include "common/AppFolders.h"
#include "common/FormPlacement.h"
#include "common/TxRegistry.h"
#include "controls/Beep.h"
#include "controls/TxGrids.h"

namespace oravent::gui {

namespace {

QString Q(std::string_view S) {
    return QString::fromUtf8(S.data(), static_cast<qsizetype>(S.size()));
}

// The details table's colour, with dark text whatever the desktop's theme.
const QColor DetailsColor(0xD8, 0xEA, 0xFB);

QToolButton* AddButton(QToolBar* Bar, std::string_view Caption, const char* Name) {
    auto* B = new QToolButton(Bar);
    B->setObjectName(QLatin1String(Name));
    B->setText(Q(Caption)); // the '&' gives the button its Alt key
    B->setToolButtonStyle(Qt::ToolButtonTextOnly);
    B->setAutoRaise(true);
    B->setFocusPolicy(Qt::NoFocus);
    B->setMinimumSize(ClassicPx(B, 52), ClassicPx(B, 21));
    Bar->addWidget(B);
    return B;
}

bool IsEnter(const QKeyEvent* K) {
    return (K->key() == Qt::Key_Return || K->key() == Qt::Key_Enter) &&
           !(K->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier));
}

} // namespace

// ---- Place list model ----------------------------------------------------------

TPlaceListModel::TPlaceListModel(const TSelectLocationCommands& Commands, QObject* Parent)
    : QAbstractListModel(Parent), FCommands(Commands) {}

int TPlaceListModel::rowCount(const QModelIndex& Parent) const {
    return Parent.isValid() ? 0 : FCount;
}

QVariant TPlaceListModel::data(const QModelIndex& Index, int Role) const {
    if (Role != Qt::DisplayRole || !Index.isValid() || Index.row() >= FCount ||
        Index.row() >= FCommands.PlaceCount())
        return {};
    return QString::fromStdString(FCommands.PlaceName(Index.row()));
}

void TPlaceListModel::Reload() {
    beginResetModel();
    FCount = FCommands.PlaceCount();
    endResetModel();
}

// ---- The window as the presenter sees it -----------------------------------------

class TSelectLocationForm::TView : public TSelectLocationView {
public:
    explicit TView(TSelectLocationForm& Form) : F(Form) {}
    void ShowDatabases(const std::vector<std::string>& Names, int Selected) override {
        Fill(F.DatabaseList, Names, Selected);
    }
    void ShowRegions(const std::vector<std::string>& Names, int Selected) override {
        Fill(F.RegionList, Names, Selected);
    }
    void ShowPlaces(int Selected) override { F.ShowPlaces(Selected); }
    void ShowDetails(const TLocationDetails& Rows) override {
        for (int R = 0; R < LocationDetailRowCount; ++R) {
            F.Details->item(R, 0)->setText(Q(Rows[R].Caption));
            F.Details->item(R, 1)->setText(Q(Rows[R].Value));
        }
    }
    void ShowStatus(int Panel, std::string_view Text) override {
        if (Panel < 0 || Panel > 1) return;
        F.FPanels[Panel]->setText(Q(Text));
        F.FPanels[Panel]->setToolTip(Q(Text));
    }
    void ShowMessage(std::string_view Message) override {
        // Over the shown window: a message of the opening waits for it.
        if (F.isVisible())
            F.ShowMessage(Q(Message));
        else
            F.FPendingMessage = Q(Message);
    }
    void ShowFilter(std::string_view Text) override {
        if (F.SearchEdit->text() != Q(Text)) F.SearchEdit->setText(Q(Text));
    }

private:
    static void Fill(QComboBox* Box, const std::vector<std::string>& Names, int Selected) {
        const QSignalBlocker Block(Box);
        Box->clear();
        for (const std::string& N : Names)
            Box->addItem(QString::fromStdString(N));
        Box->setCurrentIndex(Selected);
    }
    TSelectLocationForm& F;
};

// ---- Creation ----------------------------------------------------------------------

TSelectLocationForm::TSelectLocationForm(QWidget* Parent, const std::string& DataFolder)
    : TRootForm(Parent), FView(std::make_unique<TView>(*this)),
      FCommands(std::make_unique<TSelectLocationCommands>(
          *FView, DataFolder.empty() ? CommonFolder() : DataFolder)) {
    setObjectName(Q(SelectLocationSection));
    setWindowTitle(Q(SelectLocationTitle));
    CreateParts();
    RestoreFormPlacement(*this, objectName(), false);
    try {
        FCommands->Create(TRegistryIniFile(AppRegistryKey()));
    } catch (const std::exception&) {
        // An unreadable settings file: nothing stored is preselected.
    }
}

TSelectLocationForm::~TSelectLocationForm() {
    // The model reads the presenter: it goes first.
    PlaceList->setModel(nullptr);
    delete FModel;
}

void TSelectLocationForm::CreateParts() {
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    AcceptButton = AddButton(ToolBar1, SelectLocationAccept, "AcceptButton");
    AcceptButton->setToolTip(tr("Use the selected place"));
    CancelButton = AddButton(ToolBar1, SelectLocationCancel, "CancelButton");
    CancelButton->setToolTip(tr("Close without choosing a place"));
    connect(AcceptButton, &QToolButton::clicked, this, &TSelectLocationForm::AcceptClick);
    connect(CancelButton, &QToolButton::clicked, this, &TSelectLocationForm::reject);

    DatabaseList = new QComboBox(this);
    DatabaseList->setObjectName(QStringLiteral("DatabaseList"));
    DatabaseList->setAccessibleName(tr("Database"));
    DatabaseList->setToolTip(tr("Database"));
    RegionList = new QComboBox(this);
    RegionList->setObjectName(QStringLiteral("RegionList"));
    RegionList->setAccessibleName(tr("Region"));
    RegionList->setToolTip(tr("Region"));
    for (QComboBox* Box : {DatabaseList, RegionList})
        Box->setMaxVisibleItems(20);
    connect(DatabaseList, &QComboBox::activated, this,
            [this](int Index) { FCommands->DatabasePicked(Index); });
    connect(RegionList, &QComboBox::activated, this,
            [this](int Index) { FCommands->RegionPicked(Index); });

    SearchEdit = new QLineEdit(this);
    SearchEdit->setObjectName(QStringLiteral("SearchEdit"));
    SearchEdit->setPlaceholderText(tr("Part of a name"));
    SearchEdit->setAccessibleName(tr("Search places"));
    SearchEdit->setClearButtonEnabled(true);
    connect(SearchEdit, &QLineEdit::textChanged, this, [this](const QString& Text) {
        // Typed, pasted or cleared by the user (the presenter's own text is
        // already its filter).
        const std::string T = Text.toStdString();
        if (T != FCommands->Filter()) FCommands->SetFilter(T);
    });
    SearchEdit->installEventFilter(this);

    FModel = new TPlaceListModel(*FCommands, this);
    PlaceList = new QListView(this);
    PlaceList->setObjectName(QStringLiteral("PlaceList"));
    PlaceList->setAccessibleName(tr("Places"));
    PlaceList->setModel(FModel);
    // One height for every row: the view never measures 30,000 names.
    PlaceList->setUniformItemSizes(true);
    PlaceList->setSelectionMode(QAbstractItemView::SingleSelection);
    PlaceList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    PlaceList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    PlaceList->setTextElideMode(Qt::ElideRight);
    PlaceList->setMinimumSize(fontMetrics().averageCharWidth() * 30, ClassicPx(this, 150));
    connect(PlaceList->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& Current) { PlaceChanged(Current); });
    connect(PlaceList, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& I) {
        if (I.isValid() && FCommands->PlaceDoubleClicked(I.row())) done(mrOk);
    });
    PlaceList->installEventFilter(this);

    Details = new QTableWidget(LocationDetailRowCount, 2, this);
    Details->setObjectName(QStringLiteral("Details"));
    Details->setAccessibleName(tr("Place details"));
    Details->horizontalHeader()->hide();
    Details->verticalHeader()->hide();
    Details->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Details->setSelectionMode(QAbstractItemView::NoSelection);
    Details->setFocusPolicy(Qt::NoFocus);
    Details->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Details->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette Pal = Details->palette();
    Pal.setColor(QPalette::Base, DetailsColor);
    Pal.setColor(QPalette::Text, Qt::black);
    Details->setPalette(Pal);
    const int RowHeight = fontMetrics().height() + ClassicPx(this, 4);
    Details->verticalHeader()->setDefaultSectionSize(RowHeight);
    Details->verticalHeader()->setMinimumSectionSize(RowHeight);
    for (int R = 0; R < LocationDetailRowCount; ++R)
        for (int C = 0; C < 2; ++C)
            Details->setItem(R, C, new QTableWidgetItem);
    Details->setColumnWidth(0, ClassicPx(this, SelectLocationCaptionWidth));
    Details->horizontalHeader()->setStretchLastSection(true);
    const int TableHeight = RowHeight * LocationDetailRowCount + 2 * Details->frameWidth();
    Details->setFixedHeight(TableHeight);
    Details->setMinimumWidth(ClassicPx(this, SelectLocationCaptionWidth) +
                             fontMetrics().averageCharWidth() * 18);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    for (int I = 0; I < 2; ++I) {
        FPanels[I] = new QLabel(StatusBar1);
        FPanels[I]->setObjectName(QStringLiteral("StatusPanel%1").arg(I));
        FPanels[I]->setMinimumWidth(ClassicPx(this, SelectLocationStatusWidths[I]));
    }
    // The record position fits a world database's count; the selection text
    // takes the rest and does not widen the window with a long name (its
    // tool tip shows all of it).
    FPanels[0]->setMinimumWidth(
        std::max(FPanels[0]->minimumWidth(),
                 fontMetrics().horizontalAdvance(QStringLiteral("Record 00000 of 00000  "))));
    FPanels[1]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    StatusBar1->addWidget(FPanels[0]);
    StatusBar1->addWidget(FPanels[1], 1);

    // Captions with access keys: two lists that both show "+All" say which
    // is which, and Alt+D, Alt+R and Alt+S reach them.
    auto* Choices = new QFormLayout;
    Choices->setContentsMargins(0, 0, 0, 0);
    Choices->setHorizontalSpacing(ClassicPx(this, 6));
    const std::pair<const char*, QWidget*> Captions[] = {
        {"&Database", DatabaseList}, {"&Region", RegionList}, {"&Search", SearchEdit}};
    for (const auto& [Caption, Buddy] : Captions) {
        auto* Label = new QLabel(tr(Caption), this);
        Label->setBuddy(Buddy);
        Choices->addRow(Label, Buddy);
    }
    auto* Left = new QVBoxLayout;
    Left->addLayout(Choices);
    Left->addWidget(PlaceList, 1);
    auto* Right = new QVBoxLayout;
    Right->addWidget(Details);
    Right->addStretch(1);
    auto* Middle = new QHBoxLayout;
    const int Gap = ClassicPx(this, 6);
    Middle->setContentsMargins(Gap, Gap, Gap, Gap);
    Middle->addLayout(Left, 1);
    Middle->addLayout(Right, 1);
    auto* L = new QVBoxLayout(this);
    L->setContentsMargins(0, 0, 0, 0);
    L->setSpacing(0);
    L->addWidget(ToolBar1);
    L->addLayout(Middle, 1);
    L->addWidget(StatusBar1);
    // A fixed dialog border, as large as the font needs.
    PlaceList->setMinimumHeight(
        std::max(PlaceList->minimumHeight(), TableHeight - 3 * SearchEdit->sizeHint().height()));
    setFixedSize(sizeHint());
    setTabOrder(DatabaseList, RegionList);
    setTabOrder(RegionList, SearchEdit);
    setTabOrder(SearchEdit, PlaceList);
}

// ---- Showing -------------------------------------------------------------------------

void TSelectLocationForm::Prepare(std::string_view LastLocation) {
    FOpen = true;
    FCommands->SetLastLocation(LastLocation);
    FCommands->Activate();
    SearchEdit->setFocus(Qt::OtherFocusReason);
}

bool TSelectLocationForm::Execute(std::string_view LastLocation) {
    Prepare(LastLocation);
    return exec() == mrOk;
}

void TSelectLocationForm::showEvent(QShowEvent* E) {
    TRootForm::showEvent(E);
    SearchEdit->setFocus(Qt::OtherFocusReason);
    // The selected place in view, now that the list has its size.
    if (PlaceList->currentIndex().isValid())
        PlaceList->scrollTo(PlaceList->currentIndex(), QAbstractItemView::PositionAtCenter);
    if (!FPendingMessage.isEmpty()) {
        QTimer::singleShot(0, this, [this] {
            const QString M = std::exchange(FPendingMessage, QString());
            if (!M.isEmpty()) ShowMessage(M);
        });
    }
}

void TSelectLocationForm::ShowPlaces(int Selected) {
    FUpdating = true;
    FModel->Reload();
    if (Selected >= 0 && Selected < FModel->rowCount()) {
        const QModelIndex I = FModel->index(Selected);
        PlaceList->selectionModel()->setCurrentIndex(I, QItemSelectionModel::ClearAndSelect);
        PlaceList->scrollTo(I, QAbstractItemView::PositionAtCenter);
    }
    FUpdating = false;
}

void TSelectLocationForm::PlaceChanged(const QModelIndex& Current) {
    if (FUpdating || !Current.isValid()) return;
    FCommands->PlaceClicked(Current.row());
}

// ---- Keys ----------------------------------------------------------------------------

bool TSelectLocationForm::eventFilter(QObject* Watched, QEvent* E) {
    if (E->type() != QEvent::KeyPress) return TRootForm::eventFilter(Watched, E);
    const auto* K = static_cast<QKeyEvent*>(E);
    const bool Plain = !(K->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (Watched == SearchEdit) {
        if (IsEnter(K)) {
            AcceptClick();
            return true;
        }
        if (Plain && (K->key() == Qt::Key_Down || K->key() == Qt::Key_PageDown) &&
            FModel->rowCount() > 0) {
            PlaceList->setFocus(Qt::TabFocusReason);
            if (!PlaceList->currentIndex().isValid()) PlaceList->setCurrentIndex(FModel->index(0));
            return true;
        }
    } else if (Watched == PlaceList) {
        if (IsEnter(K)) {
            AcceptClick();
            return true;
        }
        if (Plain && K->key() == Qt::Key_Up && PlaceList->currentIndex().row() <= 0) {
            SearchEdit->setFocus(Qt::BacktabFocusReason);
            return true;
        }
    }
    return TRootForm::eventFilter(Watched, E);
}

// ---- Accept, Cancel, closing -----------------------------------------------------------

void TSelectLocationForm::AcceptClick() {
    if (FCommands->Accept())
        done(mrOk);
    else
        Beep();
}

void TSelectLocationForm::reject() {
    FCommands->Cancel();
    done(mrCancel);
}

void TSelectLocationForm::done(int Result) {
    // Closed once per showing: a second close would store the released
    // (empty) place list's selection.
    if (std::exchange(FOpen, false)) {
        try {
            TRegistryIniFile Store(AppRegistryKey());
            Store.BeginUpdate();
            FCommands->Close(Store);
            SaveFormState(Store, objectName().toStdString(), CurrentFormState(*this));
            Store.EndUpdate();
        } catch (const std::exception& E) {
            ShowMessage(QString::fromUtf8(E.what()));
        }
        // The presenter released its lists.
        ShowPlaces(-1);
    }
    TRootForm::done(Result);
}

} // namespace oravent::gui
