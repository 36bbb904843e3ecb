#include "tplist/ctplistcreatedlg.h"

#include "base/dialogunits.h"
#include "base/messagebox.h"
#include "tplist/listfileaction.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <cstring>

namespace {

struct ButtonLayout {
    int id;
    const char* text;
    int x, y, width, height;
};

constexpr int kGroupButtonId = 1048;

constexpr std::array<ButtonLayout, 3> kPushButtons { {
    { 1002, "List File", 127, 123, 50, 14 },
    { 1001, "Rcu File", 127, 138, 50, 14 },
    { 1000, "Exit", 127, 153, 50, 14 },
} };

// The dialog was drawn for the 10-point system font; the desktop's family at that size has
// about the same metrics.
QFont SystemFont()
{
    QFont font = QApplication::font();
    font.setPointSize(10);
    return font;
}

ButtonLayout GroupButtonLayout(int g)
{
    if (g == CTpListCreateDlg::kAllSat)
        return { kGroupButtonId + g, "ALL SAT", 134, 111, 38, 9 };
    return { kGroupButtonId + g, nullptr, 134, 12 + 11 * g, 41, 9 };
}

QPushButton* AddButton(QWidget* parent, const CDialogUnits& du, const ButtonLayout& layout, const QString& text)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(ResourceIdName(layout.id));
    // Enter must end the dialog, never press whichever button Qt would make the default.
    button->setAutoDefault(false);
    du.Place(button, layout.x, layout.y, layout.width, layout.height);
    return button;
}

QString GroupName(int g)
{
    return QStringLiteral("SatcoDx%1").arg(g + 1);
}

} // namespace

CTpListCreateDlg::CTpListCreateDlg(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(ResourceIdName(133));
    setWindowTitle(QStringLiteral("TP List Create"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(SystemFont());
    const CDialogUnits du(font());
    setFixedSize(du.X(188), du.Y(190));

    m_satList = new QListWidget(this);
    m_satList->setObjectName(ResourceIdName(1045));
    m_satList->setSelectionMode(QAbstractItemView::SingleSelection);
    du.Place(m_satList, 11, 11, 115, 143);
    connect(m_satList, &QListWidget::itemDoubleClicked, this, &CTpListCreateDlg::OnSatListDblClk);

    m_groupCombo = new QComboBox(this);
    m_groupCombo->setObjectName(ResourceIdName(1046));
    m_groupCombo->setEditable(true);
    m_groupCombo->setInsertPolicy(QComboBox::NoInsert);
    m_groupCombo->setCompleter(nullptr);
    for (int g = 0; g < kAllSat; ++g)
        m_groupCombo->addItem(GroupName(g));
    // The rectangle's height is that of the dropped list; the closed box is one line high.
    const QRect comboRect = du.Rect(11, 155, 115, 12);
    m_groupCombo->setGeometry(comboRect.x(), comboRect.y(), comboRect.width(),
        std::min(m_groupCombo->sizeHint().height(), comboRect.height()));
    connect(m_groupCombo, &QComboBox::activated, this, &CTpListCreateDlg::OnGroupSelChange);

    m_status = new QLabel(this);
    m_status->setObjectName(ResourceIdName(1047));
    m_status->setAlignment(Qt::AlignCenter);
    du.Place(m_status, 11, 168, 166, 12);

    for (int g = 0; g <= kAllSat; ++g) {
        const ButtonLayout layout = GroupButtonLayout(g);
        QPushButton* button
            = AddButton(this, du, layout, layout.text ? QString::fromLatin1(layout.text) : GroupName(g));
        button->setCheckable(true);
        connect(button, &QPushButton::clicked, this, [this, g](bool pressed) { OnGroupToggle(g, pressed); });
        m_groupButtons[g] = button;
    }

    m_listFile = AddButton(this, du, kPushButtons[0], QString::fromLatin1(kPushButtons[0].text));
    m_rcuFile = AddButton(this, du, kPushButtons[1], QString::fromLatin1(kPushButtons[1].text));
    QPushButton* exitButton = AddButton(this, du, kPushButtons[2], QString::fromLatin1(kPushButtons[2].text));
    connect(m_listFile, &QPushButton::clicked, this, &CTpListCreateDlg::OnListFile);
    connect(exitButton, &QPushButton::clicked, this, &CTpListCreateDlg::OnExitButton);
}

CTpListCreateDlg::~CTpListCreateDlg() = default;

void CTpListCreateDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        OnInitDialog();
}

void CTpListCreateDlg::OnInitDialog()
{
    m_catalog.FillCatalog();
    for (QPushButton* button : m_groupButtons)
        button->setChecked(false);
    SetListEnabled(true);
    ShowGroup(0);
}

void CTpListCreateDlg::SetListEnabled(bool enabled)
{
    m_satList->setEnabled(enabled);
    m_groupCombo->setEnabled(enabled);
}

void CTpListCreateDlg::ShowGroup(int g)
{
    m_satList->clear();
    m_satList->addItems(m_catalog.GroupTexts(g));
    m_groupCombo->setCurrentIndex(g);
    m_status->setText(GroupName(g));
}

void CTpListCreateDlg::OnGroupSelChange()
{
    const int g = m_groupCombo->currentIndex();
    if (g >= 0 && g < kAllSat)
        ShowGroup(g);
}

void CTpListCreateDlg::OnGroupToggle(int g, bool pressed)
{
    if (g == kAllSat) {
        SetListEnabled(false);
        m_catalog.SetAll(pressed);
        m_satList->clear();
        m_satList->addItems(m_catalog.AllTexts());
        m_groupCombo->setEditText(QStringLiteral("All Sat"));
        m_status->setText(QStringLiteral("SatcoDxAll"));
        return;
    }
    if (g < 0 || g >= kAllSat)
        return;
    SetListEnabled(true);
    m_catalog.SetGroup(g, pressed);
    ShowGroup(g);
}

// A row as long as its satellite's selected text is selected; the flip and the read-back both go
// by that length, so the list and the catalogue cannot disagree.
void CTpListCreateDlg::OnSatListDblClk()
{
    const int r = m_satList->currentRow();
    const int g = m_groupCombo->currentIndex();
    const int rows = std::min(m_catalog.GroupSize(g), m_satList->count());
    if (g < 0 || g >= kAllSat || r < 0 || r >= rows)
        return;
    const auto isOnText = [this, g](int i) {
        return m_satList->item(i)->text().size() == qsizetype(std::strlen(m_catalog.OnText(g, i)));
    };
    m_satList->item(r)->setText(QString::fromLatin1(isOnText(r) ? m_catalog.OffText(g, r) : m_catalog.OnText(g, r)));
    for (int i = 0; i < rows; ++i)
        m_catalog.SetSlot(g, i, isOnText(i));
}

void CTpListCreateDlg::OnListFile()
{
    // The texts are the command line's too, written for a status line that draws "&&" as one "&".
    (void)RunListFile(m_catalog, m_state,
        [this](QString text) { m_status->setText(text.replace(QStringLiteral("&&"), QStringLiteral("&"))); });
}

void CTpListCreateDlg::OnExitButton()
{
    if (ShowMessageBox(QStringLiteral("EXIT NOW?"), QStringLiteral("Rcu File Create"), MB_YESNO | MB_ICONQUESTION)
        == IDYES)
        accept();
}

// With no default button, Enter ends the dialog with OK, unless a push button has the focus:
// then it presses that button. A toggle button with the focus does not count.
void CTpListCreateDlg::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        auto* button = qobject_cast<QPushButton*>(focusWidget());
        if (button && !button->isCheckable())
            button->click();
        else
            accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
