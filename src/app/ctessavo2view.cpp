#include "app/ctessavo2view.h"

#include "app/ccolorlabel.h"
#include "app/cmainframe.h"
#include "base/cguicallgate.h"
#include "base/dialogunits.h"
#include "base/filedialog.h"
#include "base/guimessagebox.h"
#include "base/messagebox.h"
#include "base/modaldialog.h"
#include "base/transferprogressevent.h"
#include "transfer/ctransferengine.h"

#include <QApplication>
#include <QDialog>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>

namespace {

const QColor kNavy(0, 0, 128);
const QColor kDarkGreen(0, 128, 0);
const QColor kYellow(255, 255, 0);

struct LabelLayout {
    int id;
    int x, y, width, height;
};

// Sections top to bottom: code, preset, loader; buttons share two columns across the sections.
constexpr std::array<LabelLayout, 10> kLabels { {
    { 1008, 0, 0, 364, 3 },
    { 1017, 12, 10, 200, 16 },
    { 1003, 12, 56, 340, 12 },
    { 1011, 0, 94, 364, 4 },
    { 1014, 12, 106, 200, 16 },
    { 1015, 12, 152, 340, 12 },
    { 1004, 0, 190, 364, 4 },
    { 1016, 12, 202, 200, 16 },
    { 1006, 12, 248, 340, 12 },
    { 1007, 190, 266, 162, 12 },
} };

struct ButtonLayout {
    int id;
    const char* text;
    int x, y, width;
};

constexpr int kButtonHeight = 16;

constexpr std::array<ButtonLayout, 6> kButtons { {
    { 1009, "Open Code Data", 12, 32, 100 },
    { 1002, "Start Send", 118, 32, 70 },
    { 1012, "Open Preset Data file", 12, 128, 100 },
    { 1010, "Start Send", 118, 128, 70 },
    { 1000, "Open Loader Data", 12, 224, 100 },
    { 1005, "Start Send ", 118, 224, 70 },
} };

// What a screen reader says for the controls whose text alone does not tell them apart; the
// labels add what they show.
constexpr std::array<std::pair<int, const char*>, 7> kAccessibleNames { {
    { 1002, "Start Send, Code Download" },
    { 1010, "Start Send, Preset Data Download" },
    { 1005, "Start Send, Loader Data Download" },
    { 1003, "Code file" },
    { 1015, "Preset file" },
    { 1006, "Loader file" },
    { 1007, "Transfer status" },
} };

} // namespace

CTessavo2View::CTessavo2View(CMainFrame* frame)
    : QWidget(frame)
    , m_frame(frame)
    , m_sections { {
          { KindCode, "bin", kBinFilter },
          { KindPreset, "rcu", kRcuFilter },
          { KindLoader, "bin", kBinFilter },
      } }
{
    setObjectName(QStringLiteral("id101"));
    setAutoFillBackground(true);
    QPalette form = palette();
    form.setColor(QPalette::Window, kNavy);
    setPalette(form);

    setFont(DialogFont());
    const CDialogUnits du(font());

    for (const LabelLayout& layout : kLabels) {
        auto* label = new CColorLabel(this);
        label->setObjectName(ResourceIdName(layout.id));
        du.Place(label, layout.x, layout.y, layout.width, layout.height);
    }
    Label(1015)->SetAlignment(Qt::AlignCenter);

    std::array<QPushButton*, kButtons.size()> buttons {};
    for (size_t i = 0; i < kButtons.size(); ++i) {
        const ButtonLayout& layout = kButtons[i];
        buttons[i] = new QPushButton(QString::fromLatin1(layout.text), this);
        buttons[i]->setObjectName(ResourceIdName(layout.id));
        // The style's blue focus frame vanishes against the navy form; yellow, like the form's texts, shows.
        QPalette focus = buttons[i]->palette();
        focus.setColor(QPalette::Highlight, kYellow);
        buttons[i]->setPalette(focus);
        du.Place(buttons[i], layout.x, layout.y, layout.width, kButtonHeight);
    }
    connect(buttons[0], &QPushButton::clicked, this, &CTessavo2View::OnOpenCode);
    connect(buttons[1], &QPushButton::clicked, this, &CTessavo2View::OnStartCode);
    connect(buttons[2], &QPushButton::clicked, this, &CTessavo2View::OnOpenPreset);
    connect(buttons[3], &QPushButton::clicked, this, &CTessavo2View::OnStartPreset);
    connect(buttons[4], &QPushButton::clicked, this, &CTessavo2View::OnOpenLoader);
    connect(buttons[5], &QPushButton::clicked, this, &CTessavo2View::OnStartLoader);
    m_sections[0].start = buttons[1];
    m_sections[0].path = Label(1003);
    m_sections[1].start = buttons[3];
    m_sections[1].path = Label(1015);
    m_sections[2].start = buttons[5];
    m_sections[2].path = Label(1006);

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("progress"));
    m_progress->setTextVisible(false);
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    du.Place(m_progress, 190, 280, 162, 8);
    m_progress->hide();
    m_progress->setAccessibleName(QStringLiteral("Transfer progress"));
    m_lastResult = new QLabel(this);
    m_lastResult->setObjectName(QStringLiteral("lastResult"));
    m_lastResult->setStyleSheet(QStringLiteral("color: white"));
    m_lastResult->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_lastResult->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_lastResult->setAccessibleName(QStringLiteral("Last result"));
    du.Place(m_lastResult, 12, 264, 172, 32);
    for (const auto& [id, name] : kAccessibleNames)
        findChild<QWidget*>(ResourceIdName(id), Qt::FindDirectChildrenOnly)
            ->setAccessibleName(QString::fromLatin1(name));
    // The bars stretch; what must stay whole ends at the path labels' right edge.
    setMinimumSize(du.X(kWidthDu - 6), du.Y(kHeightDu));
}

CColorLabel* CTessavo2View::Label(int id) const
{
    return findChild<CColorLabel*>(ResourceIdName(id), Qt::FindDirectChildrenOnly);
}

void CTessavo2View::OnInitialUpdate()
{
    for (int id : { 1004, 1011 })
        Label(id)->SetBkColor(kDarkGreen);
    for (int id : { 1003, 1006, 1007 })
        Label(id)->SetBkColor(kNavy);
    for (int id : { 1015, 1008 }) {
        Label(id)->SetBkColor(kNavy);
        Label(id)->SetTextColor(kYellow);
    }
    const std::array<std::pair<int, const char*>, 3> titles { {
        { 1014, "Preset Data Download" },
        { 1017, "Code Download" },
        { 1016, "Loader Data Download" },
    } };
    for (const auto& [id, text] : titles) {
        CColorLabel* title = Label(id);
        title->SetBkColor(kNavy);
        title->SetFontSize(16);
        title->SetFontBold(true);
        title->SetTextColor(kYellow);
        title->SetText(QString::fromLatin1(text));
    }
}

// The top line and the two separator bars run across the whole window.
void CTessavo2View::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    for (int id : { 1008, 1011, 1004 }) {
        CColorLabel* bar = Label(id);
        bar->setGeometry(0, bar->y(), width(), bar->height());
    }
}

void CTessavo2View::OpenFile(const Section& section)
{
    FileDialogRequest request;
    request.filter = QString::fromLatin1(section.filter);
    request.defaultSuffix = QString::fromLatin1(section.suffix);
    request.initialName = QStringLiteral("*.") + request.defaultSuffix;
    // Each section opens where its last file was, with that file chosen: a bench flashes the same few images.
    QSettings settings(QStringLiteral("Tessavo2"), QStringLiteral("Tessavo2"));
    const QString key = QStringLiteral("Form/LastFile%1").arg(section.kind);
    if (const QFileInfo last(settings.value(key).toString()); !last.filePath().isEmpty()) {
        request.directory = last.absolutePath();
        if (last.isFile())
            request.initialName = last.fileName();
    }
    const QString chosen = GetFileName(request);
    if (chosen.isEmpty())
        return;
    const QString path = QFileInfo(chosen).absoluteFilePath();
    settings.setValue(key, path);
    m_frame->SetSelectedPath(path);
    m_nSelectedKind = section.kind;
    for (const Section& other : m_sections)
        KeepClearOfMessageBoxes(other.path, &other == &section);
    section.path->SetTextColor(kYellow);
    section.path->SetText(path);
}

void CTessavo2View::StartSend(const Section& section)
{
    m_nRequestedKind = section.kind;
    if (m_frame->SelectedPath().isEmpty() || m_nSelectedKind != section.kind) {
        ShowMessageBox(QStringLiteral("Select file first!"));
        return;
    }
    CColorLabel* status = Label(1007);
    // A refused start must leave the form as it was.
    const QString statusBefore = status->Text();
    const QColor colourBefore = status->TextColor();

    SetStartButtonsEnabled(false);
    status->SetTextColor(kYellow);
    status->SetText(QStringLiteral("Transmitting .... "));
    if (m_frame->StartFileTransfer(TransferKind(section.kind)) != 0) {
        // The bar counts the frames of the image the engine read at the start, not of the file now.
        const qint64 size = m_frame->Engine().ImageSize();
        m_progress->setRange(
            0, int(std::max<qint64>(1, (size + CTransferEngine::kChunkSize - 1) / CTransferEngine::kChunkSize)));
        m_progress->setValue(0);
        m_progress->show();
        return;
    }
    SetStartButtonsEnabled(true);
    status->SetTextColor(colourBefore);
    status->SetText(statusBefore);
}

void CTessavo2View::ShowLastResult(const QString& text)
{
    m_lastResult->setText(text);
    m_lastResult->setAccessibleDescription(text);
}

void CTessavo2View::SetStartButtonsEnabled(bool enabled)
{
    for (const Section& section : m_sections)
        section.start->setEnabled(enabled);
}

void CTessavo2View::SetStatusText(const QString& text)
{
    QMetaObject::invokeMethod(this, [this, text] {
        Label(1007)->SetText(text);
        if (const int count = CTransferEngine::AcknowledgedCount(text); count >= 0)
            m_progress->setValue(std::min(count, m_progress->maximum()));
    });
}

void CTessavo2View::TransferProgress(unsigned count, bool sending)
{
    (void)CallOnGuiThread([count, sending] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->windowTitle() == QLatin1String("Edit Preset Data")) {
                CTransferProgressEvent notice(count, sending);
                QApplication::sendEvent(window, &notice);
                break;
            }
        }
        return 0;
    });
}

void CTessavo2View::EnableStartButtons()
{
    QMetaObject::invokeMethod(this, [this] { SetStartButtonsEnabled(true); });
}

void CTessavo2View::SetTpListCreateDialog(QDialog* dialog)
{
    AdoptDialog(*this, m_tpListCreateDlg, dialog);
}

void CTessavo2View::OnRcuFileCreate()
{
    if (!m_tpListCreateDlg)
        return;
    if (ExecModal(*m_tpListCreateDlg) != QDialog::Accepted)
        ShowMessageBox(QStringLiteral("Not Open"));
}
