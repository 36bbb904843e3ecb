#include "preset/cpreseteditdlg.h"

#include "base/anchors.h"
#include "base/dialogunits.h"
#include "base/filedialog.h"
#include "base/messagebox.h"
#include "base/savewholefile.h"
#include "base/transferprogressevent.h"
#include "preset/cpresetgrid.h"
#include "preset/presetcelltext.h"
#include "preset/presethistory.h"
#include "preset/presetimage.h"
#include "preset/presettables.h"
#include "transfer/ctransferengine.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QGroupBox>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>

int g_nShownSat = 0;

namespace {

const QString kTitle = QStringLiteral("Edit Preset Data");

constexpr int kSatRows = NUM_ME_SAT + 1;
constexpr int kSatColumns = 3;
constexpr int kTpRows = NUM_ME_TP + 1;
constexpr int kTpColumns = 5;
constexpr int kNameColumn = 1;
constexpr int kLnbColumn = 2;

constexpr std::uint32_t kHeadingFormat = DT_WORDBREAK;
constexpr std::uint32_t kRowNumberFormat = DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;
constexpr std::uint32_t kCellFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;

const char* const kSatHeadings[kSatColumns] = { " ", "Satellite Name", "LNB Type" };
const int kSatColumnWidths[kSatColumns] = { 30, 130, 90 };
const char* const kTpHeadings[kTpColumns] = { " ", "Frequency", "Symbolrate", "   FEC   ", "Polarization" };

struct ButtonLayout {
    int id;
    const char* text;
    int y;
};
// The file and copy buttons, in the order of m_fileAndCopyButtons.
constexpr ButtonLayout kButtons[] = {
    { 1000, "&Open PresetData File", 149 },
    { 1001, "&Save PresetData File", 165 },
    { 1002, "ST&B -> PC COPY", 203 },
    { 1003, "&PC -> STB COPY", 218 },
};

void WriteCell(CGridCtrl& grid, int row, int column, const QString& text, std::uint32_t format)
{
    GridItemInfo info;
    info.row = row;
    info.column = column;
    info.mask = GVIF_TEXT | GVIF_FORMAT;
    info.text = text;
    info.format = format;
    grid.WriteItem(info);
}

void SetGridSize(CGridCtrl& grid, int rows, int columns)
{
    grid.SetRows(rows);
    grid.SetFixedRows(1);
    grid.SetColumns(columns);
    grid.SetFixedColumns(1);
}

QWidget* FindWindowByTitle(const QString& title)
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->windowTitle() == title)
            return window;
    }
    return nullptr;
}

FileDialogRequest RcuFileRequest(bool save, QWidget* parent)
{
    FileDialogRequest request;
    request.save = save;
    request.filter = QString::fromLatin1(kRcuFilter);
    request.defaultSuffix = QStringLiteral("rcu");
    request.initialName = QStringLiteral("*.rcu");
    request.parent = parent;
    return request;
}

} // namespace

CPresetEditDlg::CPresetEditDlg(QWidget* parent)
    : QDialog(parent)
    , m_tpGrid(new CPresetGrid)
    , m_satGrid(new CPresetGrid(CPresetGrid::Satellites))
    , m_history(std::make_unique<PresetHistory>(
          [this](const PresetSnapshot& snapshot, int shownSat) { RestoreSnapshot(snapshot, shownSat); }))
{
    setWindowTitle(kTitle);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    QFont font = DialogFont();
    font.setPointSize(10);
    setFont(font);
    const CDialogUnits du(font);
    m_baseSize = QSize(du.X(402), du.Y(290));
    m_anchors = std::make_unique<CAnchors>(m_baseSize);
    setMinimumSize(du.X(300), du.Y(210));
    resize(m_baseSize);

    // The grids sit in their group boxes, so a box's mnemonic takes the keys to its grid.
    auto* tpGroup = new QGroupBox(QStringLiteral("&Transponder Data"), this);
    auto* satGroup = new QGroupBox(QStringLiteral("Satellite &Name"), this);
    PlaceWithAnchor(tpGroup, du.Rect(168, 7, 227, 244), CAnchors::GrowX | CAnchors::GrowY);
    PlaceWithAnchor(satGroup, du.Rect(7, 7, 149, 121), CAnchors::GrowY);
    PlaceWithAnchor(new QGroupBox(QStringLiteral("Files"), this), du.Rect(33, 137, 90, 47), CAnchors::MoveY);
    PlaceWithAnchor(new QGroupBox(QStringLiteral("Preset Data Copy"), this), du.Rect(33, 190, 90, 47), CAnchors::MoveY);

    // The grids take the places of these items, and follow the resize from there.
    const QRect tpRect = du.Rect(171, 17, 204, 229);
    const QRect satRect = du.Rect(14, 21, 135, 100);
    auto* tpItem = new QWidget(tpGroup);
    tpItem->setObjectName(ResourceIdName(1019));
    tpItem->setGeometry(tpRect.translated(-tpGroup->pos()));
    auto* satItem = new QWidget(satGroup);
    satItem->setObjectName(ResourceIdName(1021));
    satItem->setGeometry(satRect.translated(-satGroup->pos()));
    AttachGridControl(this, ResourceIdName(1019), *m_tpGrid);
    AttachGridControl(this, ResourceIdName(1021), *m_satGrid);
    PlaceWithAnchor(m_tpGrid, tpRect, CAnchors::GrowX | CAnchors::GrowY);
    PlaceWithAnchor(m_satGrid, satRect, CAnchors::GrowY);
    m_tpGrid->setAccessibleName(QStringLiteral("Transponders"));
    m_satGrid->setAccessibleName(QStringLiteral("Satellites"));
    for (CPresetGrid* grid : { m_tpGrid, m_satGrid }) {
        connect(grid, &CGridCtrl::cellTextRefused, this, &CPresetEditDlg::OnCellTextRefused);
        connect(grid, &CGridCtrl::cellsEdited, this, [this] { RecordChange(QStringLiteral("Edit")); });
        // Tab leaves a grid for the next control; the arrows move within it.
        grid->SetHandleTabKey(false);
        grid->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(grid, &QWidget::customContextMenuRequested, this,
            [this, grid](QPoint at) { ShowGridMenu(*grid, grid->viewport()->mapToGlobal(at)); });
    }
    m_satGrid->installEventFilter(this);

    for (std::size_t i = 0; i < m_fileAndCopyButtons.size(); ++i) {
        auto* button = new QPushButton(QString::fromLatin1(kButtons[i].text), this);
        button->setObjectName(ResourceIdName(kButtons[i].id));
        button->setAutoDefault(false);
        PlaceWithAnchor(button, du.Rect(39, kButtons[i].y, 77, 14), CAnchors::MoveY);
        m_fileAndCopyButtons[i] = button;
    }
    connect(m_fileAndCopyButtons[0], &QPushButton::clicked, this, &CPresetEditDlg::OnOpenPresetFile);
    connect(m_fileAndCopyButtons[1], &QPushButton::clicked, this, &CPresetEditDlg::OnSavePresetFile);
    connect(m_fileAndCopyButtons[2], &QPushButton::clicked, this, &CPresetEditDlg::OnStbToPcCopy);
    connect(m_fileAndCopyButtons[3], &QPushButton::clicked, this, &CPresetEditDlg::OnPcToStbCopy);

    auto* status = new QLabel(this);
    status->setObjectName(ResourceIdName(1040));
    status->setAlignment(Qt::AlignCenter);
    PlaceWithAnchor(status, du.Rect(11, 242, 90, 13), CAnchors::MoveY);

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(ResourceIdName(1036));
    m_progress->setTextVisible(false);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    PlaceWithAnchor(m_progress, du.Rect(44, 259, 283, 10), CAnchors::GrowX | CAnchors::MoveY);

    auto* exit = new QPushButton(QStringLiteral("&EXIT"), this);
    exit->setObjectName(ResourceIdName(1037));
    exit->setAutoDefault(false);
    PlaceWithAnchor(exit, du.Rect(340, 255, 50, 14), CAnchors::MoveX | CAnchors::MoveY);
    connect(exit, &QPushButton::clicked, this, &CPresetEditDlg::OnExit);

    m_counts = new QLabel(this);
    m_counts->setObjectName(QStringLiteral("counts"));
    PlaceWithAnchor(m_counts, du.Rect(11, 274, 300, 11), CAnchors::MoveY);
    m_modifiedMark = new QLabel(this);
    m_modifiedMark->setObjectName(QStringLiteral("modifiedMark"));
    m_modifiedMark->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    PlaceWithAnchor(m_modifiedMark, du.Rect(330, 274, 60, 11), CAnchors::MoveX | CAnchors::MoveY);

    // Reading order: the two grids side by side, then the buttons down the left, then EXIT.
    QWidget* previous = m_satGrid;
    for (QWidget* next : std::initializer_list<QWidget*> { m_tpGrid, m_fileAndCopyButtons[0], m_fileAndCopyButtons[1],
             m_fileAndCopyButtons[2], m_fileAndCopyButtons[3], exit }) {
        setTabOrder(previous, next);
        previous = next;
    }
    CreateCommands();
    UpdateChangeMarks();
}

CPresetEditDlg::~CPresetEditDlg()
{
    // An edit still open ends while the dialog goes away; it is no step of a history that goes too.
    for (CPresetGrid* grid : { m_tpGrid, m_satGrid })
        disconnect(grid, nullptr, this, nullptr);
}

void CPresetEditDlg::SetTransferLink(BufferTransferStarter start, ReceivedDataQuery receivedData)
{
    m_startTransfer = std::move(start);
    m_receivedData = std::move(receivedData);
}

bool CPresetEditDlg::OnInitDialog()
{
    RefillFromTables();
    return true;
}

void CPresetEditDlg::RefillFromTables()
{
    ShowTables(0);
}

void CPresetEditDlg::ShowTables(int shownSat)
{
    FillSatelliteGrid();
    SelectSatelliteRow(shownSat + 1);
    g_nShownSat = shownSat;
    FillShownTransponders();
    UpdateChangeMarks();
}

// The focus frame moves with the selection: a click on the row that merely looks current would
// otherwise start an edit instead of switching satellites.
void CPresetEditDlg::SelectSatelliteRow(int row)
{
    m_satGrid->SetCurrentCell(row, kNameColumn);
    m_satGrid->SelectBlock(row, kNameColumn, row, kNameColumn, true);
}

void CPresetEditDlg::FillSatelliteGrid()
{
    CGridCtrl& grid = *m_satGrid;
    SetGridSize(grid, kSatRows, kSatColumns);
    for (int c = 0; c < kSatColumns; ++c)
        grid.SetColumnWidthAt(c, kSatColumnWidths[c]);
    for (int r = 0; r < kSatRows; ++r) {
        for (int c = 0; c < kSatColumns; ++c) {
            if (r == 0) {
                WriteCell(grid, r, c, QLatin1String(kSatHeadings[c]), DT_CENTER | kHeadingFormat);
            } else if (c == 0) {
                WriteCell(grid, r, c, QString::number(r), kRowNumberFormat);
            } else {
                const std::size_t slot = std::size_t(r - 1);
                const QString name = SatelliteName(g_SatTable[slot]);
                const QString text = c == kNameColumn ? name
                    : name.isEmpty()                  ? QString()
                                                      : LnbCellText(g_LnbTable[slot]);
                WriteCell(grid, r, c, text, kCellFormat);
            }
        }
    }
}

void CPresetEditDlg::FillTransponderGrid()
{
    CGridCtrl& grid = *m_tpGrid;
    SetGridSize(grid, kTpRows, kTpColumns);
    const GridBlock selected = m_satGrid->SelectedBlock();
    // A fixed cell names no satellite; committing to it would file rows under a slot that does not exist.
    if (m_satGrid->SelectedCount() != 1 || selected.minRow < 1 || selected.minRow > NUM_ME_SAT) {
        ShowMessageBox(QStringLiteral("select one sat!"));
        SelectSatelliteRow(g_nShownSat + 1);
        return;
    }
    g_nShownSat = selected.minRow - 1;
    FillShownTransponders();
}

void CPresetEditDlg::FillShownTransponders()
{
    CGridCtrl& grid = *m_tpGrid;
    SetGridSize(grid, kTpRows, kTpColumns);
    TpList list {};
    GetSatTransponders(std::uint8_t(g_nShownSat), list);
    bool blank = false;
    for (int r = 0; r < kTpRows; ++r) {
        for (int c = 0; c < kTpColumns; ++c) {
            if (r == 0) {
                WriteCell(grid, r, c, QLatin1String(kTpHeadings[c]), kHeadingFormat);
            } else if (c == 0) {
                WriteCell(grid, r, c, QString::number(r), kRowNumberFormat);
            } else {
                std::optional<QString> text;
                if (!blank)
                    text = TransponderCellText(list, r, c);
                blank = blank || !text;
                WriteCell(grid, r, c, text.value_or(QString()), kCellFormat);
            }
        }
    }
    grid.FitAll();
}

void CPresetEditDlg::GatherLnbColumn()
{
    // An unnamed slot shows no LNB, so its blank cell says nothing: the slot keeps the LNB it has.
    for (int r = 1; r < kSatRows; ++r) {
        if (!m_satGrid->CellText(r, kNameColumn).isEmpty())
            StoreLnbText(m_satGrid->CellText(r, kLnbColumn), g_LnbTable[std::size_t(r - 1)]);
    }
}

void CPresetEditDlg::GatherNameColumn()
{
    for (int r = 1; r < kSatRows; ++r)
        StoreSatelliteName(m_satGrid->CellText(r, kNameColumn), g_SatTable[std::size_t(r - 1)]);
}

void CPresetEditDlg::GatherTransponderGrid(TpList& list) const
{
    std::size_t next = 0;
    for (int r = 1; r < kTpRows; ++r) {
        const std::uint16_t freq = CellNumber(m_tpGrid->CellText(r, kTpColumnFrequency)).value_or(0);
        const QString symbol = m_tpGrid->CellText(r, kTpColumnSymbolRate);
        // A row without a frequency or a symbol rate is dropped alone: a zero entry would end the
        // list and silently take every row below it along. A symbol rate of 0 is a value, not a blank.
        if (freq == 0 || symbol.trimmed().isEmpty())
            continue;
        pre_tp_t& tp = list[next++];
        tp.freq = freq;
        tp.symbol = CellNumber(symbol).value_or(0);
        tp.sat_num = std::uint8_t(g_nShownSat);
        tp.fec = CellTextToCode(m_tpGrid->CellText(r, kTpColumnFec), kTpColumnFec);
        tp.polar = CellTextToCode(m_tpGrid->CellText(r, kTpColumnPolarization), kTpColumnPolarization);
    }
}

bool CPresetEditDlg::CommitShownSatellite()
{
    TpList list {};
    GatherTransponderGrid(list);
    if (ReplaceSatTransponders(list, std::uint8_t(g_nShownSat)))
        return true;
    // Rows the table did not take must not go on looking as if they were kept.
    FillShownTransponders();
    return false;
}

bool CPresetEditDlg::GatherGrids()
{
    GatherLnbColumn();
    GatherNameColumn();
    return CommitShownSatellite();
}

void CPresetEditDlg::TakeGridEdits()
{
    m_satGrid->EndOpenEdit();
    m_tpGrid->EndOpenEdit();
    GatherGrids();
}

void CPresetEditDlg::SetStatusText(const QString& text)
{
    auto* status = findChild<QLabel*>(ResourceIdName(1040));
    status->setText(text);
    // The line is narrow; the whole of a longer reason is a hover away.
    status->setToolTip(text.trimmed());
}

void CPresetEditDlg::OnCellTextRefused(const QString& reason, int pastedCells)
{
    if (pastedCells == 0)
        SetStatusText(reason);
    else
        SetStatusText(
            QStringLiteral("Nothing pasted: %1 refused, %2")
                .arg(pastedCells == 1 ? QStringLiteral("1 cell") : QStringLiteral("%1 cells").arg(pastedCells))
                .arg(reason));
}

void CPresetEditDlg::KeepBytesOf(const std::uint8_t* image, std::size_t length)
{
    m_kept = KeptBytesOf(image, length);
    if (!m_kept.IsPlain())
        SetStatusText(QStringLiteral("File holds data not shown; a save keeps it"));
}

void CPresetEditDlg::OnSatSelChanged()
{
    TakeGridEdits();
    FillTransponderGrid();
}

void CPresetEditDlg::OnOpenPresetFile()
{
    if (!SettleUnsavedChanges(false))
        return;
    const QString path = GetFileName(RcuFileRequest(false, this));
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ShowMessageBox(QStringLiteral("file open error!! (1)"));
        return;
    }
    // One byte more than the buffer tells an oversized file from one that just fits.
    const qint64 length = file.read(reinterpret_cast<char*>(m_image.data()), qint64(m_image.size()));
    char extra = 0;
    const bool oversized = file.read(&extra, 1) > 0;
    if (length < 0 || oversized || !ParsePresetImage(m_image.data(), std::size_t(length))) {
        ShowMessageBox(QStringLiteral("File Open Error !! (2)"));
        return;
    }
    RefillFromTables();
    KeepBytesOf(m_image.data(), std::size_t(length));
    m_history->Record(QStringLiteral("Open"), Snapshot(), 0);
    MarkUnmodified();
}

void CPresetEditDlg::OnSavePresetFile()
{
    SavePresetFile();
}

bool CPresetEditDlg::SavePresetFile()
{
    const QString path = GetFileName(RcuFileRequest(true, this));
    if (path.isEmpty())
        return false;
    if (!CheckReplaceableFile(path).isEmpty()) {
        ShowMessageBox(QStringLiteral("File Open Error!!"));
        return false;
    }
    TakeGridEdits();
    // The whole-file save leaves the old file whole when the new one does not reach the disk.
    const QByteArray image = BuildPresetImageKeeping(m_kept);
    if (image.isEmpty() || !SaveWholeFile(path, image).isEmpty()) {
        ShowMessageBox(QStringLiteral("File Open Error!!"));
        return false;
    }
    MarkUnmodified();
    return true;
}

void CPresetEditDlg::OnStbToPcCopy()
{
    if (!SettleUnsavedChanges(false))
        return;
    m_nExpectedPackets = kReceivePackets;
    m_progress->setRange(0, kReceivePackets);
    m_progress->setValue(0);
    SetStatusText(QStringLiteral("Waiting for Sync... "));
    SetCopyLocked(true);
    if (!m_startTransfer || m_startTransfer(TransferKind::PresetFromReceiver, nullptr, 0, m_nExpectedPackets) == 0)
        EndCopy();
}

void CPresetEditDlg::OnPcToStbCopy()
{
    TakeGridEdits();
    m_image.fill(0);
    const std::size_t length = BuildPresetImage(m_image.data(), m_image.size());
    SetStatusText(QStringLiteral("Waiting for Sync... "));
    const int packets = int(length / 1024 + 1);
    m_progress->setRange(0, packets);
    m_progress->setValue(0);
    m_nExpectedPackets = unsigned(packets);
    m_sending = Snapshot();
    SetCopyLocked(true);
    if (!m_startTransfer
        || m_startTransfer(TransferKind::PresetToReceiver, m_image.data(), std::uint32_t(length), m_nExpectedPackets)
            == 0)
        EndCopy();
}

void CPresetEditDlg::OnTransferProgress(unsigned count, bool sending)
{
    const unsigned expected = m_nExpectedPackets;
    if (sending) {
        if (count < expected) {
            ShowProgress(count, expected);
            return;
        }
        EndCopy();
        if (m_sending)
            m_history->MarkUnmodified(*std::exchange(m_sending, std::nullopt));
        UpdateChangeMarks();
        return;
    }
    if (count == 0) {
        const QByteArrayView received = m_receivedData ? m_receivedData() : QByteArrayView();
        const bool taken = !received.isEmpty()
            && ParsePresetImage(reinterpret_cast<const std::uint8_t*>(received.data()), std::size_t(received.size()));
        RefillFromTables();
        if (taken) {
            KeepBytesOf(reinterpret_cast<const std::uint8_t*>(received.data()), std::size_t(received.size()));
            m_history->Record(QStringLiteral("STB -> PC COPY"), Snapshot(), 0);
            MarkUnmodified();
        } else {
            SetStatusText(QStringLiteral("Received Data Error"));
        }
    } else if (count <= expected) {
        ShowProgress(count, expected);
    } else {
        EndCopy();
    }
}

void CPresetEditDlg::ShowProgress(unsigned count, unsigned expected)
{
    SetStatusText(QStringLiteral("Packet %1/%2 Received").arg(count).arg(expected));
    m_progress->setValue(int(count));
}

void CPresetEditDlg::SetCopyLocked(bool locked)
{
    m_bCopyRunning = locked;
    for (QPushButton* button : m_fileAndCopyButtons)
        button->setEnabled(!locked);
}

void CPresetEditDlg::EndCopy()
{
    SetStatusText(QStringLiteral(" "));
    m_progress->setValue(0);
    SetCopyLocked(false);
}

bool CPresetEditDlg::event(QEvent* event)
{
    if (event->type() == WM_GRID_SELCHANGED) {
        OnSatSelChanged();
        return true;
    }
    if (event->type() == CTransferProgressEvent::kType) {
        const auto* notice = static_cast<CTransferProgressEvent*>(event);
        OnTransferProgress(notice->Count(), notice->Sending());
        return true;
    }
    return QDialog::event(event);
}

bool CPresetEditDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_satGrid)
        return SatGridWndProc(event);
    return QDialog::eventFilter(watched, event);
}

bool CPresetEditDlg::SatGridWndProc(QEvent* event)
{
    if (event->type() == WM_GRID_SELCHANGED) {
        if (QWidget* editor = FindWindowByTitle(kTitle)) {
            QEvent selChanged(WM_GRID_SELCHANGED);
            QCoreApplication::sendEvent(editor, &selChanged);
        }
    }
    return false;
}
