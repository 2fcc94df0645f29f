#include "app/InterfaceLanguage.h"

#include "platform/AppPaths.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

TLanguage ChooseLanguage(TInterfaceLanguage option, const QStringList& uiLanguages) {
    if (option == TInterfaceLanguage::Chinese)
        return TLanguage::Chinese;
    if (option == TInterfaceLanguage::English)
        return TLanguage::English;
    const QString first = uiLanguages.isEmpty() ? QString() : uiLanguages.first();
    const bool chinese = first.compare(QLatin1String("zh"), Qt::CaseInsensitive) == 0 ||
                         first.startsWith(QLatin1String("zh-"), Qt::CaseInsensitive) ||
                         first.startsWith(QLatin1String("zh_"), Qt::CaseInsensitive);
    return chinese ? TLanguage::Chinese : TLanguage::English;
}

TLanguage StartupLanguage(TInterfaceLanguage option) {
    const QString forced = qEnvironmentVariable("QUILLORA_LANGUAGE").trimmed().toLower();
    if (forced.startsWith(QLatin1String("zh")))
        return TLanguage::Chinese;
    if (forced.startsWith(QLatin1String("en")))
        return TLanguage::English;
    return ChooseLanguage(option, QLocale::system().uiLanguages());
}

TInterfaceTranslations::TInterfaceTranslations() = default;

TInterfaceTranslations::~TInterfaceTranslations() {
    for (const auto& translator : m_installed)
        QCoreApplication::removeTranslator(translator.get());
}

QStringList TInterfaceTranslations::Folders() {
    QStringList folders;
    for (const QString& shared : SharedDataFolders())
        folders << shared + QStringLiteral("translations/");
    return folders;
}

bool TInterfaceTranslations::Load(const QString& name, const QStringList& folders) {
    for (const QString& folder : folders) {
        auto translator = std::make_unique<QTranslator>();
        if (translator->load(name, folder)) {
            QCoreApplication::installTranslator(translator.get());
            m_installed.push_back(std::move(translator));
            return true;
        }
    }
    return false;
}

void TInterfaceTranslations::Install(TLanguage language, const QStringList& folders) {
    if (!m_installed.empty())
        return;
    const QStringList qtFolder{QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
    if (language == TLanguage::Chinese) {
        QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
        if (!Load(QStringLiteral("qtbase_zh_CN"), qtFolder))
            Load(QStringLiteral("qt_zh_CN"), qtFolder);
        return;
    }
    const QLocale system = QLocale::system();
    QLocale::setDefault(system.language() == QLocale::English ? system
                                                              : QLocale(QLocale::English, QLocale::UnitedStates));
    Load(QStringLiteral("qtbase_en"), qtFolder);
    m_translated = Load(QStringLiteral("quillora_en"), folders);
}
