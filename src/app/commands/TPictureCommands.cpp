#include "app/commands/TPictureCommands.h"

#include "app/TAppContext.h"
#include "app/TPicturePreview.h"
#include "app/TViewEvents.h"
#include "app/ViewFill.h"
#include "app/commands/CommandSteps.h"
#include "app/commands/TMainView.h"
#include "library/TqlvDocData.h"
#include "library/UserError.h"
#include "platform/DialogService.h"

#include <QCoreApplication>
#include <QHash>
#include <QImageReader>
#include <QSignalBlocker>
#include <QTreeWidget>

using commandsteps::RunStep;

namespace {
const char kInsertCaption[] = QT_TRANSLATE_NOOP("Commands", "插入图片");  // translated where shown
const char kPictureCaption[] = QT_TRANSLATE_NOOP("Commands", "图片");     // translated where shown
constexpr int kPicCountColumn = 1;
constexpr int kMarkCountColumn = 2;

// A Chinese name for an image format the reader knows.
QString FormatName(const QString& format) {
    static const QHash<QString, QString> kNames = {
        {"bmp", QCoreApplication::translate("TPictureCommands", "位图")},
        {"gif", QCoreApplication::translate("TPictureCommands", "GIF 动画图像")},
        {"ico", QCoreApplication::translate("TPictureCommands", "图标")},
        {"jpg", QCoreApplication::translate("TPictureCommands", "JPEG 图像")},
        {"jpeg", QCoreApplication::translate("TPictureCommands", "JPEG 图像")},
        {"png", QCoreApplication::translate("TPictureCommands", "PNG 图像")},
        {"svg", QCoreApplication::translate("TPictureCommands", "SVG 矢量图")},
        {"svgz", QCoreApplication::translate("TPictureCommands", "SVG 压缩矢量图")},
        {"tif", QCoreApplication::translate("TPictureCommands", "TIFF 图像")},
        {"tiff", QCoreApplication::translate("TPictureCommands", "TIFF 图像")},
        {"webp", QCoreApplication::translate("TPictureCommands", "WebP 图像")},
        {"pbm", QCoreApplication::translate("TPictureCommands", "PBM 黑白位图")},
        {"pgm", QCoreApplication::translate("TPictureCommands", "PGM 灰度图像")},
        {"ppm", QCoreApplication::translate("TPictureCommands", "PPM 彩色图像")},
        {"xbm", QCoreApplication::translate("TPictureCommands", "XBM 黑白位图")},
        {"xpm", QCoreApplication::translate("TPictureCommands", "XPM 彩色图像")},
        {"cur", QCoreApplication::translate("TPictureCommands", "光标")},
        {"icns", QCoreApplication::translate("TPictureCommands", "苹果图标")},
        {"tga", QCoreApplication::translate("TPictureCommands", "TGA 图像")},
        {"wbmp", QCoreApplication::translate("TPictureCommands", "无线位图")},
        {"heic", QCoreApplication::translate("TPictureCommands", "HEIC 图像")},
        {"avif", QCoreApplication::translate("TPictureCommands", "AVIF 图像")},
        {"jp2", QCoreApplication::translate("TPictureCommands", "JPEG 2000 图像")},
        {"dds", QCoreApplication::translate("TPictureCommands", "DDS 纹理图像")},
    };
    return kNames.value(format, QCoreApplication::translate("TPictureCommands", "%1 图像").arg(format.toUpper()));
}

// Every format the image reader supports: all of them first, then one entry
// each ("名称 (*.ext)|*.ext").
QString PictureFilter() {
    QStringList patterns;
    QStringList entries;
    for (const QByteArray& raw : QImageReader::supportedImageFormats()) {
        const QString format = QString::fromLatin1(raw).toLower();
        const QString pattern = QStringLiteral("*.") + format;
        if (patterns.contains(pattern))
            continue;
        patterns << pattern;
        entries << QStringLiteral("%1 (%2)|%2").arg(FormatName(format), pattern);
    }
    const QString all = patterns.join(QLatin1Char(';'));
    return QCoreApplication::translate("TPictureCommands", "所有支持的格式 (%1)|%1|").arg(all) +
           entries.join(QLatin1Char('|'));
}

QTreeWidgetItem* SelectedIn(const QTreeWidget* list) {
    const QList<QTreeWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}
}  // namespace

TPictureCommands::TPictureCommands(TMainView& main, TAppContext& context) : m_main(main), m_context(context) {}

void TPictureCommands::AttachViews() {
    QTreeWidget* list = m_main.PicList();
    QObject::connect(list, &QTreeWidget::itemChanged, list, [this](QTreeWidgetItem* item, int column) {
        if (column == 0)
            lvPicEdited(item);
    });
    TViewEvents* events = TViewEvents::Attach(list);
    events->click = [this] { lvPicClick(); };
    events->keyDown = [this](int key) { return lvPicKeyDown(key); };
}

TPicturePreview& TPictureCommands::Preview() const { return *m_main.PicPreview(); }

QTreeWidgetItem* TPictureCommands::SelectedPicture() const { return SelectedIn(m_main.PicList()); }

void TPictureCommands::munInsertPicClick() {
    QTreeWidgetItem* doc = m_main.DocList()->currentItem();
    if (!doc || !doc->isSelected())
        doc = SelectedIn(m_main.DocList());
    if (!doc)
        return;
    const int docID = ItemID(doc);
    TFileDialogRequest request;
    request.caption = QCoreApplication::translate("Commands", kInsertCaption);
    request.filter = PictureFilter();
    const QStringList files = m_context.Dialogs().OpenFileNames(request);
    QTreeWidget* list = m_main.PicList();
    for (const QString& file : files) {
        // The first file that cannot be shown ends the choice.
        TViewItem record;
        const bool added = RunStep(m_context.Dialogs(), QCoreApplication::translate("Commands", kInsertCaption), [&] {
            Preview().LoadFromFile(file);
            record = m_context.DocData().AddPicture(file, docID);
        });
        if (!added)
            break;
        const QSignalBlocker quiet(list);
        list->addTopLevelItem(MakeListItem(record));
    }
    if (!files.isEmpty())
        RefreshDocCounts(doc);
}

void TPictureCommands::RefreshDocCounts(QTreeWidgetItem* doc) {
    const int id = ItemID(doc);
    TqlvDocData& data = m_context.DocData();
    QString pics;
    QString marks;
    if (!RunStep(m_context.Dialogs(), QCoreApplication::translate("Commands", kPictureCaption), [&] {
            data.UpdateDocCounts(id);
            pics = data.GetPicCount(id);
            marks = data.GetMarkCount(id);
        }))
        return;
    const QSignalBlocker quiet(m_main.DocList());
    doc->setText(kPicCountColumn, pics);
    doc->setText(kMarkCountColumn, marks);
}

void TPictureCommands::tbAddPicClick() { munInsertPicClick(); }

void TPictureCommands::tbDelPicClick() {
    QTreeWidget* list = m_main.PicList();
    const QList<QTreeWidgetItem*> selected = list->selectedItems();
    if (selected.isEmpty())
        return;
    if (!m_context.Dialogs().Confirm(QCoreApplication::translate("TPictureCommands", "确实要将此插图删除吗？"),
                                     QCoreApplication::translate("TPictureCommands", "删除")))
        return;
    QList<int> ids;
    for (const QTreeWidgetItem* item : selected)
        ids.append(ItemID(item));
    QList<int> gone;
    if (!RunStep(m_context.Dialogs(), QCoreApplication::translate("TPictureCommands", "删除"),
                 [&] { gone = m_context.DocData().DeleteSelectedPics(ids); }))
        return;
    {
        const QSignalBlocker quiet(list);
        for (QTreeWidgetItem* item : selected)
            if (gone.contains(ItemID(item)))
                delete item;
    }
    Preview().ClearPicture();
    if (QTreeWidgetItem* doc = SelectedListItem(m_main.DocList()))
        RefreshDocCounts(doc);
}

void TPictureCommands::tbRePicClick() {
    QTreeWidgetItem* item = SelectedPicture();
    if (!item)
        return;
    StartCaptionEdit(m_main.PicList(), item);
}

void TPictureCommands::lvPicEdited(QTreeWidgetItem* item) {
    if (!item)
        return;
    const int id = ItemID(item);
    const QString name = item->text(0);
    RunStep(m_context.Dialogs(), QCoreApplication::translate("TPictureCommands", "重命名"),
            [&] { m_context.DocData().RenamePicture(id, name); });
}

bool TPictureCommands::lvPicKeyDown(int key) {
    if (key == Qt::Key_Delete) {
        tbDelPicClick();
        return true;
    }
    if (key == Qt::Key_F2) {
        tbRePicClick();
        return true;
    }
    return false;
}

void TPictureCommands::lvPicClick() {
    QTreeWidgetItem* item = SelectedPicture();
    if (!item) {
        Preview().ClearPicture();
        return;
    }
    const int id = ItemID(item);
    QString path;
    try {
        path = m_context.DocData().ShowPicture(id);
    } catch (const EUserError&) {
        // The picture's file is gone: an empty preview says so without a
        // box in the way of every click.
        Preview().ClearPicture();
        return;
    }
    if (!path.isEmpty())
        RunStep(m_context.Dialogs(), QCoreApplication::translate("Commands", kPictureCaption),
                [&] { Preview().LoadFromFile(path); });
}

void TPictureCommands::ReloadPicList() {
    QTreeWidget* docs = m_main.DocList();
    std::optional<int> doc;
    const QList<QTreeWidgetItem*> selected = docs->selectedItems();
    if (!selected.isEmpty())
        doc = ItemID(selected.first());
    bool clearImage = false;
    TViewItems pictures;
    if (!RunStep(m_context.Dialogs(), QCoreApplication::translate("Commands", kPictureCaption),
                 [&] { pictures = m_context.DocData().LoadPicList(doc, &clearImage); }))
        return;
    {
        const QSignalBlocker quiet(m_main.PicList());
        FillListWidget(m_main.PicList(), pictures);
    }
    if (clearImage)
        Preview().ClearPicture();
}
