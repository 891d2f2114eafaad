#include "atmosphere/TxAltBaromForm.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>
#include <limits>

#include "atmosphere/TxSelectLocation.h"
#include "common/AppFolders.h"
#include "common/FormPlacement.h"
#include "common/TxRegistry.h"
#include "controls/TxFmtEdit.h"
#include "controls/TxGrids.h"

namespace oravent::gui {

namespace {

constexpr const char* FormName = "AltBaromForm";

QString Q(std::string_view S) {
    return QString::fromUtf8(S.data(), static_cast<qsizetype>(S.size()));
}

QToolButton* AddButton(QToolBar* Bar, std::string_view Caption, std::string_view Hint,
                       const char* Name) {
    auto* B = new QToolButton(Bar);
    B->setObjectName(QLatin1String(Name));
    B->setText(Q(Caption)); // the '&' gives the button its Alt key
    B->setToolTip(Q(Hint));
    B->setToolButtonStyle(Qt::ToolButtonTextOnly);
    B->setAutoRaise(true);
    B->setFocusPolicy(Qt::NoFocus);
    B->setMinimumSize(ClassicPx(B, 52), ClassicPx(B, 21));
    Bar->addWidget(B);
    return B;
}

} // namespace

// ---- The window as the presenter sees it -----------------------------------------

class TAltBaromForm::TView : public TAltBaromView {
public:
    explicit TView(TAltBaromForm& Form) : F(Form) {}
    void SetEditUnits(TAltBaromEdit E, int Shown) override { F.Edit(E)->SetUnitsValue(Shown); }
    int EditUnits(TAltBaromEdit E) const override { return F.Edit(E)->UnitsValue(); }
    double EditValue(TAltBaromEdit E) const override {
        const QVariant V = F.Edit(E)->GetValue();
        if (V.typeId() == QMetaType::Double) return V.toDouble();
        return std::numeric_limits<double>::quiet_NaN();
    }
    void ShowEditValue(TAltBaromEdit E, double Value) override {
        TFmtEdit* Ed = F.Edit(E);
        Ed->SetValue(Value);
        // The shown value is the program's now: Escape comes back to it and
        // leaving without typing changes nothing.
        Ed->SaveText();
    }
    void ShowStatus(std::string_view Text) override {
        F.FStatus->setText(Q(Text));
        F.FStatus->setToolTip(Q(Text));
    }
    void ShowError(std::string_view Message) override { F.ShowMessage(Q(Message)); }
    void CommitFocusedEdit() override {
        if (TxCustomEdit* Ed = F.FocusedEdit()) TxCustomEdit::CommitEdit(Ed);
    }
    TLocationPickerDialog* LocationPicker() override { return F.FPicker.data(); }

private:
    TAltBaromForm& F;
};

// ---- Creation ----------------------------------------------------------------------

TAltBaromForm::TAltBaromForm(QWidget* Parent)
    : TRootForm(Parent), FView(std::make_unique<TView>(*this)),
      FCommands(std::make_unique<TAltBaromCommands>(*FView)), FLocationFolder(CommonFolder()) {
    setObjectName(QLatin1String(FormName));
    // A title and no title-bar buttons: Accept and Cancel close it.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint);
    setWindowTitle(Q(AltBaromTitle));
    CreateParts();
    RestoreFormPlacement(*this, objectName(), false);
    try {
        FCommands->Create(TRegistryIniFile(CommonRegistryKey()));
    } catch (const std::exception& E) {
        ShowMessage(QString::fromUtf8(E.what()));
    }
}

TAltBaromForm::~TAltBaromForm() = default;

TFmtEdit* TAltBaromForm::NewEdit(const TAltBaromEditDef& Def, TFmtEditLabel* Units) {
    auto* Ed = new TFmtEdit(this);
    Ed->setObjectName(Q(Def.Name));
    Ed->setAccessibleName(Q(Def.Caption));
    Ed->SetFormatStr(Q(Def.FormatStr));
    Ed->SetFormatType(Def.FormatType);
    Ed->SetSigDigs(Def.SigDigs);
    Ed->SetRangeLo(Def.RangeLo);
    Ed->SetRangeHi(Def.RangeHi);
    Ed->SetUnitsLabel(Units);
    Ed->SetUnitsType(Def.UnitsType);
    Ed->SetUnitsBase(Def.UnitsBase);
    Ed->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("-00000.000")) +
                        ClassicPx(this, 10));
    Ed->installEventFilter(this);
    const TAltBaromEdit Which = Def.Edit;
    // Leaving after a change (Tab, Enter, an arrow, a click elsewhere, or
    // Accept committing the edit).
    connect(Ed, &TxCustomEdit::OnExit, this, [this, Ed, Which] {
        if (Ed->Modified()) FCommands->EditLeft(Which);
    });
    return Ed;
}

void TAltBaromForm::CreateParts() {
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    AcceptButton = AddButton(ToolBar1, AltBaromAccept, AltBaromAcceptHint, "AcceptButton");
    CancelButton = AddButton(ToolBar1, AltBaromCancel, "Close and keep the barometer as it was",
                             "CancelButton");
    connect(AcceptButton, &QToolButton::clicked, this, &TAltBaromForm::AcceptClick);
    connect(CancelButton, &QToolButton::clicked, this, &TAltBaromForm::CancelClick);
    for (auto Key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* S = new QShortcut(QKeySequence(Qt::CTRL | Key), this);
        connect(S, &QShortcut::activated, this, &TAltBaromForm::AcceptClick);
    }

    const TAltBaromEditDef& PaDef = AltBaromEditDef(TAltBaromEdit::Pressure);
    const TAltBaromEditDef& AltDef = AltBaromEditDef(TAltBaromEdit::Altitude);
    lbPressure = new QLabel(Q(PaDef.Caption), this);
    lbPressure->setObjectName(QStringLiteral("lbPressure"));
    lbAltitude = new QLabel(Q(AltDef.Caption), this);
    lbAltitude->setObjectName(QStringLiteral("lbAltitude"));
    PaUnits = new TFmtEditLabel(this);
    PaUnits->setObjectName(QStringLiteral("PaUnits"));
    AltUnits = new TFmtEditLabel(this);
    AltUnits->setObjectName(QStringLiteral("AltUnits"));
    edPa = NewEdit(PaDef, PaUnits);
    edAlt = NewEdit(AltDef, AltUnits);
    lbPressure->setBuddy(edPa);
    lbAltitude->setBuddy(edAlt);
    for (TFmtEditLabel* U : {PaUnits, AltUnits}) {
        U->setToolTip(tr("Click to change the unit"));
        // The keys come back here after the units picker.
        connect(U, &TFmtEditLabel::OnClick, this, [this] { activateWindow(); });
        U->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("InchHg ")));
    }

    SearchButton = new QToolButton(this);
    SearchButton->setObjectName(QStringLiteral("SearchButton"));
    SearchButton->setIcon(QIcon(QStringLiteral(":/icons/search.svg")));
    SearchButton->setToolTip(Q(AltBaromSearchHint));
    SearchButton->setAccessibleName(Q(AltBaromSearchHint));
    SearchButton->setFocusPolicy(Qt::StrongFocus);
    const int Side = edAlt->sizeHint().height();
    SearchButton->setFixedSize(Side, Side);
    SearchButton->setIconSize(QSize(Side - ClassicPx(this, 6), Side - ClassicPx(this, 6)));
    SearchButton->installEventFilter(this);
    connect(SearchButton, &QToolButton::clicked, this, &TAltBaromForm::SearchClick);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    FStatus = new QLabel(StatusBar1);
    FStatus->setObjectName(QStringLiteral("StatusText"));
    // A long place name does not widen the window (the tool tip has it all).
    FStatus->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    StatusBar1->addWidget(FStatus, 1);

    auto* Grid = new QGridLayout;
    const int Gap = ClassicPx(this, 6);
    Grid->setContentsMargins(Gap, Gap, Gap, Gap);
    Grid->setHorizontalSpacing(Gap);
    Grid->addWidget(lbPressure, 0, 0);
    Grid->addWidget(edPa, 0, 1);
    Grid->addWidget(PaUnits, 0, 2);
    Grid->addWidget(lbAltitude, 1, 0);
    Grid->addWidget(edAlt, 1, 1);
    Grid->addWidget(AltUnits, 1, 2);
    Grid->addWidget(SearchButton, 1, 3);
    Grid->setColumnStretch(1, 1);
    auto* L = new QVBoxLayout(this);
    L->setContentsMargins(0, 0, 0, 0);
    L->setSpacing(0);
    L->addWidget(ToolBar1);
    L->addLayout(Grid, 1);
    L->addWidget(StatusBar1);
    setTabOrder(edPa, edAlt);
    setTabOrder(edAlt, SearchButton);
    // A fixed border, as large as the font needs and wide enough for a
    // place's status text.
    QSize Size = sizeHint();
    Size.setWidth(std::max(Size.width(), ClassicPx(this, 240)));
    setFixedSize(Size);
}

// ---- Showing -------------------------------------------------------------------------

void TAltBaromForm::showEvent(QShowEvent* E) {
    TRootForm::showEvent(E);
    // Activation is each showing; coming back from the picker is not one
    // (it would hide the picked place's status behind "Ready...").
    if (!FPicker) FPicker = new TSelectLocationForm(this, FLocationFolder);
    FCommands->Activate();
    // Typing at once replaces the pressure.
    edPa->setFocus(Qt::OtherFocusReason);
    edPa->selectAll();
    if (FPlaceAt) QTimer::singleShot(0, this, [this] { PlaceAtPoint(); });
}

int TAltBaromForm::EditPressure(double& Value, QPoint At) {
    FCommands->Start(Value);
    FPlaceAt = At;
    PlaceAtPoint();
    const int Result = exec();
    FPlaceAt.reset();
    Value = Pressure();
    return Result;
}

void TAltBaromForm::PlaceAtPoint() {
    if (!FPlaceAt) return;
    // The frame is known once the window is shown; before, the host's frame
    // is the best guess of it.
    QSize Outer = frameGeometry().size();
    if (!isVisible() && Outer == size() && parentWidget())
        Outer +=
            parentWidget()->window()->frameGeometry().size() - parentWidget()->window()->size();
    const QScreen* Screen = QGuiApplication::screenAt(*FPlaceAt);
    if (!Screen) Screen = QGuiApplication::primaryScreen();
    TFormState S = CurrentFormState(*this);
    S.Left = FPlaceAt->x();
    S.Top = FPlaceAt->y();
    S.Width = Outer.width();
    S.Height = Outer.height();
    if (Screen) {
        const QRect R = Screen->availableGeometry();
        S = KeepWholeOnScreen(S, {R.left(), R.top(), R.width(), R.height()});
    }
    if (pos() != QPoint(S.Left, S.Top)) move(S.Left, S.Top);
}

// ---- Keys ----------------------------------------------------------------------------

bool TAltBaromForm::eventFilter(QObject* Watched, QEvent* E) {
    if (E->type() == QEvent::KeyPress &&
        (Watched == edPa || Watched == edAlt || Watched == SearchButton)) {
        const auto* K = static_cast<QKeyEvent*>(E);
        const auto Mods = K->modifiers() & ~Qt::KeypadModifier;
        if (Mods == Qt::NoModifier) {
            switch (K->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Down:
                focusNextChild();
                return true;
            case Qt::Key_Up:
                focusPreviousChild();
                return true;
            default:
                break;
            }
        }
    }
    return TRootForm::eventFilter(Watched, E);
}

TSelectLocationForm* TAltBaromForm::LocationPicker() const {
    return FPicker;
}

TxCustomEdit* TAltBaromForm::FocusedEdit() const {
    QWidget* W = focusWidget();
    if (W == edPa) return edPa;
    if (W == edAlt) return edAlt;
    return nullptr;
}

// ---- Commands --------------------------------------------------------------------------

QString TAltBaromForm::StatusText() const {
    return FStatus->text();
}

void TAltBaromForm::AcceptClick() {
    FCommands->Accept();
    done(mrOk);
}

void TAltBaromForm::CancelClick() {
    FCommands->Cancel();
    done(mrCancel);
}

void TAltBaromForm::SearchClick() {
    // A value still being typed is taken first, as leaving the edit would.
    if (TxCustomEdit* Ed = FocusedEdit()) TxCustomEdit::CommitEdit(Ed);
    FCommands->SearchLocation();
    activateWindow(); // the keys come back here, with or without a window manager
}

void TAltBaromForm::done(int Result) {
    try {
        SaveFormPlacement(*this, objectName());
        TRegistryIniFile Common(CommonRegistryKey());
        FCommands->Close(Common);
    } catch (const std::exception& E) {
        ShowMessage(QString::fromUtf8(E.what()));
    }
    TRootForm::done(Result);
}

} // namespace oravent::gui
