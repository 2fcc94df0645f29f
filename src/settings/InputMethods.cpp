#include "settings/InputMethods.h"

#include <QDir>
#include <QLibraryInfo>

namespace {

// "libibusplatforminputcontextplugin.so" -> "ibus"; empty for other files.
QString FrameworkOfPlugin(const QString& fileName) {
    static const QString kSuffix = QStringLiteral("platforminputcontextplugin");
    QString base = fileName.section(QLatin1Char('.'), 0, 0);
    if (base.startsWith(QLatin1String("lib")))
        base = base.mid(3);
    if (!base.endsWith(kSuffix))
        return {};
    return base.left(base.size() - kSuffix.size());
}

void AddOnce(QStringList& list, const QString& name) {
    if (!name.isEmpty() && !list.contains(name, Qt::CaseInsensitive))
        list.append(name);
}

}  // namespace

QStringList InputMethodsFrom(const QString& imModuleEnv, const QStringList& pluginFileNames) {
    QStringList methods;
    for (const QString& module : imModuleEnv.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        AddOnce(methods, module.trimmed());
    QStringList plugins;
    for (const QString& file : pluginFileNames)
        AddOnce(plugins, FrameworkOfPlugin(file));
    plugins.sort(Qt::CaseInsensitive);
    for (const QString& name : plugins)
        AddOnce(methods, name);
    return methods;
}

QStringList InstalledInputMethods() {
    const QDir folder(QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforminputcontexts"));
    return InputMethodsFrom(qEnvironmentVariable("QT_IM_MODULE"),
                            folder.entryList({QStringLiteral("*.so")}, QDir::Files));
}
