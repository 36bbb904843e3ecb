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
#include <QShortcut>

namespace {

struct ButtonLayout {
    int id;
    const char* text;
    int x, y, width, height;
};

constexpr int kGroupButtonId = 1048;

constexpr std::array<ButtonLayout, 3> kPushButtons { {
    { 1002, "&List File", 127, 123, 50, 14 },
    { 1001, "&Rcu File", 127, 138, 50, 14 },
    { 1000, "E&xit", 127, 153, 50, 14 },
} };

// The dialog was drawn for the 10-point system font; the desktop's family at that size has
// about the same metrics.
QFont SystemFont()
{
    QFont font = QApplication::font();
    font.setPointSize(10);
    return font;
}

// One line below the group box holds the count of selected satellites, so the status line sits
// that much lower than it was first drawn.
constexpr int kCountLineHeight = 12;

QSize BaseSize()
{
    const CDialogUnits du(SystemFont());
    return { du.X(188), du.Y(190 + kCountLineHeight) };
}

ButtonLayout GroupButtonLayout(int g)
{
    if (g == CTpListCreateDlg::kAllSat)
        return { kGroupButtonId + g, "&ALL SAT", 134, 111, 38, 9 };
    return { kGroupButtonId + g, nullptr, 134, 12 + 11 * g, 41, 9 };
}

QString GroupName(int g)
{
    return QStringLiteral("SatcoDx%1").arg(g + 1);
}

} // namespace

CTpListCreateDlg::CTpListCreateDlg(QWidget* parent)
    : QDialog(parent)
    , m_anchors(BaseSize())
{
    setObjectName(ResourceIdName(133));
    setWindowTitle(QStringLiteral("TP List Create"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(SystemFont());
    const CDialogUnits du(font());
    setMinimumSize(m_anchors.BaseSize());
    resize(m_anchors.BaseSize());

    m_satList = new QListWidget(this);
    m_satList->setObjectName(ResourceIdName(1045));
    m_satList->setAccessibleName(QStringLiteral("Satellites"));
    m_satList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_anchors.Place(m_satList, du.Rect(11, 11, 115, 143), CAnchors::GrowX | CAnchors::GrowY);
    connect(m_satList, &QListWidget::itemDoubleClicked, this, &CTpListCreateDlg::OnSatListDblClk);
    connect(m_satList, &QListWidget::itemChanged, this, &CTpListCreateDlg::OnSatChecked);

    m_groupCombo = new QComboBox(this);
    m_groupCombo->setObjectName(ResourceIdName(1046));
    // A combo box is read by its text, which here is the name of a button too; screen readers take
    // the name from the label it is the buddy of. The label stays hidden: the box needs no caption
    // on screen, and Alt+G reaches it through its own shortcut below.
    auto* groupLabel = new QLabel(QStringLiteral("Satellite group"), this);
    groupLabel->setObjectName(QStringLiteral("groupLabel"));
    groupLabel->setBuddy(m_groupCombo);
    groupLabel->hide();
    m_groupCombo->setEditable(true);
    m_groupCombo->setInsertPolicy(QComboBox::NoInsert);
    m_groupCombo->setCompleter(nullptr);
    for (int g = 0; g < kAllSat; ++g)
        m_groupCombo->addItem(GroupName(g));
    // The rectangle's height is that of the dropped list; the closed box is one line high.
    QRect comboRect = du.Rect(11, 155, 115, 12);
    comboRect.setHeight(std::min(m_groupCombo->sizeHint().height(), comboRect.height()));
    m_anchors.Place(m_groupCombo, comboRect, CAnchors::GrowX | CAnchors::MoveY);
    connect(m_groupCombo, &QComboBox::activated, this, &CTpListCreateDlg::OnGroupSelChange);

    m_selectedCount = new QLabel(this);
    m_selectedCount->setObjectName(QStringLiteral("selectedCount"));
    m_anchors.Place(m_selectedCount, du.Rect(11, 168, 115, 10), CAnchors::GrowX | CAnchors::MoveY);

    m_status = new QLabel(this);
    m_status->setObjectName(ResourceIdName(1047));
    m_status->setAlignment(Qt::AlignCenter);
    m_anchors.Place(m_status, du.Rect(11, 168 + kCountLineHeight, 166, 12), CAnchors::GrowX | CAnchors::MoveY);

    // Mnemonics: Alt+1 to Alt+9 for the groups, Alt+S and Alt+G for the list and the group box,
    // which have no caption to mark.
    const auto addButton = [&](const ButtonLayout& layout, const QString& text, int edges) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(ResourceIdName(layout.id));
        // Enter never presses whichever button Qt would make the default.
        button->setAutoDefault(false);
        m_anchors.Place(button, du.Rect(layout.x, layout.y, layout.width, layout.height), edges);
        return button;
    };
    for (int g = 0; g <= kAllSat; ++g) {
        const ButtonLayout layout = GroupButtonLayout(g);
        QPushButton* button = addButton(layout,
            layout.text ? QString::fromLatin1(layout.text) : QStringLiteral("SatcoDx&%1").arg(g + 1), CAnchors::MoveX);
        button->setCheckable(true);
        connect(button, &QPushButton::clicked, this, [this, g](bool pressed) { OnGroupToggle(g, pressed); });
        m_groupButtons[g] = button;
    }
    const auto addPushButton = [&](const ButtonLayout& layout) {
        return addButton(layout, QString::fromLatin1(layout.text), CAnchors::MoveX | CAnchors::MoveY);
    };
    m_listFile = addPushButton(kPushButtons[0]);
    m_rcuFile = addPushButton(kPushButtons[1]);
    QPushButton* exitButton = addPushButton(kPushButtons[2]);
    connect(m_listFile, &QPushButton::clicked, this, &CTpListCreateDlg::OnListFile);
    connect(exitButton, &QPushButton::clicked, this, &CTpListCreateDlg::OnExitButton);

    for (const auto& shortcut :
        { std::pair<Qt::Key, QWidget*> { Qt::Key_S, m_satList }, { Qt::Key_G, m_groupCombo } }) {
        QWidget* target = shortcut.second;
        connect(new QShortcut(Qt::ALT | shortcut.first, this), &QShortcut::activated, target,
            [target] { target->setFocus(Qt::ShortcutFocusReason); });
    }

    // Reading order: the list and its group box, then the buttons down the right.
    QWidget* previous = m_satList;
    for (QWidget* next : std::initializer_list<QWidget*> { m_groupCombo, m_groupButtons[0], m_groupButtons[1],
             m_groupButtons[2], m_groupButtons[3], m_groupButtons[4], m_groupButtons[5], m_groupButtons[6],
             m_groupButtons[7], m_groupButtons[8], m_groupButtons[kAllSat], m_listFile, m_rcuFile, exitButton }) {
        setTabOrder(previous, next);
        previous = next;
    }
}

CTpListCreateDlg::~CTpListCreateDlg() = default;

void CTpListCreateDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        OnInitDialog();
}

void CTpListCreateDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    m_anchors.Apply(size());
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

void CTpListCreateDlg::SetStatusText(const QString& text)
{
    m_status->setText(text);
    // A status such as "SatcoDx1" reads like the button of that name without it.
    m_status->setAccessibleName(QStringLiteral("Status: ") + text);
}

void CTpListCreateDlg::UpdateSelectedCount()
{
    int count = 0;
    for (int g = 0; g < kAllSat; ++g)
        for (int i = 0; i < m_catalog.GroupSize(g); ++i)
            count += m_catalog.IsSelected(g, i) ? 1 : 0;
    m_selectedCount->setText(QStringLiteral("%1 selected").arg(count));
}

// The rows show the selected text of each satellite with a check box for its state; the catalogue
// keeps its texts as they are, and only the catalogue decides what List File reads.
void CTpListCreateDlg::ShowRows(int first, int last)
{
    m_satList->clear();
    for (int g = first; g <= last; ++g) {
        for (int i = 0; i < m_catalog.GroupSize(g); ++i) {
            auto* item = new QListWidgetItem(QString::fromLatin1(m_catalog.OnText(g, i)));
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            item->setCheckState(m_catalog.IsSelected(g, i) ? Qt::Checked : Qt::Unchecked);
            m_satList->addItem(item);
        }
    }
    UpdateSelectedCount();
}

void CTpListCreateDlg::ShowGroup(int g)
{
    ShowRows(g, g);
    m_groupCombo->setCurrentIndex(g);
    SetStatusText(GroupName(g));
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
        ShowRows(0, kAllSat - 1);
        m_groupCombo->setEditText(QStringLiteral("All Sat"));
        SetStatusText(QStringLiteral("SatcoDxAll"));
        return;
    }
    if (g < 0 || g >= kAllSat)
        return;
    SetListEnabled(true);
    m_catalog.SetGroup(g, pressed);
    ShowGroup(g);
}

void CTpListCreateDlg::OnSatListDblClk()
{
    if (QListWidgetItem* item = m_satList->currentItem())
        item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

// Every way of flipping a row (its check box, Space, a double click) ends here.
void CTpListCreateDlg::OnSatChecked(QListWidgetItem* item)
{
    const int g = m_groupCombo->currentIndex();
    const int r = m_satList->row(item);
    if (!m_satList->isEnabled() || g < 0 || g >= kAllSat || r < 0 || r >= m_catalog.GroupSize(g))
        return;
    m_catalog.SetSlot(g, r, item->checkState() == Qt::Checked);
    UpdateSelectedCount();
}

void CTpListCreateDlg::OnListFile()
{
    // The texts are the command line's too, written for a status line that draws "&&" as one "&".
    (void)RunListFile(m_catalog, m_state,
        [this](QString text) { SetStatusText(text.replace(QStringLiteral("&&"), QStringLiteral("&"))); });
}

void CTpListCreateDlg::OnExitButton()
{
    if (ShowMessageBox(QStringLiteral("EXIT NOW?"), QStringLiteral("Rcu File Create"), MB_YESNO | MB_ICONQUESTION)
        == IDYES)
        accept();
}

// Enter presses the button that has the focus and does nothing elsewhere: a dialog that closed on
// Enter in its list lost the work of a keyboard user who only meant to pick a row.
void CTpListCreateDlg::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
            button->click();
        return;
    }
    QDialog::keyPressEvent(event);
}
