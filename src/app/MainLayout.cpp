// Window layout (Config.ini), skins and quick hide of the main window.
#include "app/SkinFolders.h"
#include "app/TAppContext.h"
#include "app/TQuickHide.h"
#include "app/TSideChannel.h"
#include "app/TfrmMain.h"
#include "platform/DialogService.h"
#include "platform/Skin.h"
#include "settings/IniConfig.h"
#include "settings/RegConfig.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>
#include <QSplitter>
#include <QToolBar>
#include <limits>
#include <optional>

namespace {

constexpr int kMinimumHeight = 100;
constexpr int kLargePanel = 10000;  // "the rest" for the lower splitter pane

// A stored position that lies on no screen (a removed monitor, a damaged file)
// would put the window out of reach: such a window goes to the default place.
QPoint ReachablePosition(const QPoint& wanted, const QSize& size) {
    const QRect wantedRect(wanted, size);
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().intersects(wantedRect))
            return wanted;
    const TWindowLayout defaults;
    return QGuiApplication::screens().isEmpty() ? wanted : QPoint(defaults.Left, defaults.Top);
}

// Without a stored size (a first start, or values that are no numbers) the
// window takes about 80 % of the screen, centred, so every panel of the
// status bar has room; nullopt when a size is stored or there is no screen.
std::optional<QRect> FirstStartGeometry(const TqlvIniConfig& ini) {
    constexpr int kMissing = std::numeric_limits<int>::min();
    const QString section = QStringLiteral("Config");
    const bool stored = ini.ReadInteger(section, QStringLiteral("Width"), kMissing) != kMissing &&
                        ini.ReadInteger(section, QStringLiteral("Height"), kMissing) != kMissing;
    QScreen* screen = QGuiApplication::primaryScreen();
    if (stored || !screen)
        return std::nullopt;
    const QRect available = screen->availableGeometry();
    QRect window(QPoint(), available.size() * 4 / 5);
    window.moveCenter(available.center());
    return window;
}

// Maps a skin item's tag to its style: tag 2 BlueGlass, 3 MacOS, 4 Protein,
// 5 Win XP, 6 DeepBlue. -1 for tag 7 (theme file) and unknown tags.
int StyleForTag(int tag) {
    switch (tag) {
        case 2:
            return 5;
        case 3:
            return 1;
        case 4:
            return 4;
        case 5:
            return 2;
        case 6:
            return 3;
        default:
            return -1;
    }
}

}  // namespace

void TfrmMain::SetUpperPanelHeight(QSplitter* splitter, int height) {
    splitter->setSizes({qMax(1, height), kLargePanel});
}

void TfrmMain::TrackSplitters() {
    connect(m_splitterDoc, &QSplitter::splitterMoved, this, [this](int pos) { m_docPanelSize = pos; });
    connect(m_splitterPic, &QSplitter::splitterMoved, this, [this](int pos) { m_picPanelSize = pos; });
    connect(m_spFile, &QSplitter::splitterMoved, this, [this](int pos) { m_filePanelSize = pos; });
}

void TfrmMain::ApplyLayout() {
    const TWindowLayout layout = m_context.IniConfig().ReadLayout();
    if (const std::optional<QRect> first = FirstStartGeometry(m_context.IniConfig())) {
        resize(first->size());
        move(first->topLeft());
    } else {
        const QSize size(qMax(minimumWidth(), layout.Width), qMax(kMinimumHeight, layout.Height));
        resize(size);
        move(ReachablePosition(QPoint(layout.Left, layout.Top), size));
    }

    m_chanelTool->SetChanelWidth(layout.ChanelWidth);
    m_splitterLeft->setSizes({m_chanelTool->ChanelWidth(), kLargePanel});
    m_docPanelSize = qMax(1, layout.SpDoc);
    m_picPanelSize = qMax(1, layout.SpPic);
    m_filePanelSize = qMax(1, layout.SPFile);
    SetUpperPanelHeight(m_splitterDoc, m_docPanelSize);
    SetUpperPanelHeight(m_splitterPic, m_picPanelSize);
    SetUpperPanelHeight(m_spFile, m_filePanelSize);
    if (!property("splittersTracked").toBool()) {
        TrackSplitters();
        setProperty("splittersTracked", true);
    }

    SetSkin(SkinStyle(), SkinTheme());
    m_skinFolder = m_context.RegConfig().ReadSkinPath();
}

void TfrmMain::SaveLayout() {
    TWindowLayout layout;
    // The current bounds whatever the state: a maximised window stores its
    // maximised bounds. pos() and size() match what ApplyLayout sets.
    const QRect bounds(pos(), size());
    layout.Top = bounds.top();
    layout.Left = bounds.left();
    layout.Width = bounds.width();
    layout.Height = bounds.height();
    layout.ChanelWidth = m_chanelTool->ChanelWidth();
    layout.SpDoc = m_docPanelSize;
    layout.SpPic = m_picPanelSize;
    layout.SPFile = m_filePanelSize;
    m_context.IniConfig().WriteLayout(layout);
}

int TfrmMain::SkinStyle() const { return m_context.Skin().Style(); }

QString TfrmMain::SkinTheme() const { return m_context.Skin().Theme(); }

void TfrmMain::SetSkin(int style, const QString& themeFile) {
    // Application-wide, so every dialog and message box opened later is
    // drawn in the same style; open dialogs follow.
    m_context.Skin().Choose(style, themeFile);
    // Re-polishing under a new style sheet drops size constraints; the tool
    // bar keeps its 28 pixels.
    m_tbTool->setFixedHeight(28);
}

void TfrmMain::munBlueGlassClick() {
    auto* item = qobject_cast<QAction*>(sender());
    const int tag = item ? item->data().toInt() : 0;
    const int style = StyleForTag(tag);
    if (style >= 0) {
        SetSkin(style, SkinTheme());
    } else if (tag == 7) {
        TFileDialogRequest request;
        request.caption = tr("更换皮肤");
        request.filter = tr("皮肤文件(*.sui)|*.sui");
        request.initialDir = SkinDialogStartFolder(m_skinFolder, ShippedSkinFolders());
        const QString file = m_context.Dialogs().OpenFileName(request);
        if (!file.isEmpty())
            SetSkin(0, file);
    }
}

void TfrmMain::munToolHideClick() { m_quickHide->Hide(); }

void TfrmMain::ShowFromHotKey() { m_quickHide->Restore(); }
