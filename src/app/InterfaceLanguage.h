// The interface language and its translations. Chinese is the source language
// of every caption; English comes from quillora_en.qm, built from
// translations/quillora_en.ts and shipped in a translations/ folder beside the
// executable (build tree) or in share/quillora/translations (installed).
//
// The choice: $QUILLORA_LANGUAGE ("zh" or "en") when set, which the tests use
// to be independent of the machine's locale; else the stored "界面语言"
// option; when that follows the system, a Chinese first UI language of the
// system locale gives Chinese and anything else English.
#pragma once

#include "settings/OptionValues.h"

#include <QStringList>
#include <memory>
#include <vector>

class QTranslator;

enum class TLanguage { Chinese, English };

// The rule alone: the option, else the first of the system's UI languages.
TLanguage ChooseLanguage(TInterfaceLanguage option, const QStringList& uiLanguages);
// The language this process shows: the environment override, else the rule
// with the stored option and QLocale::system().uiLanguages().
TLanguage StartupLanguage(TInterfaceLanguage option);

// Owns the translators it installs and removes them when destroyed. Install
// sets the default locale (dates and numbers) and installs Qt's own strings
// for the standard dialogs and, for English, the application's. A missing
// .qm file leaves the Chinese source texts: never fails.
class TInterfaceTranslations {
public:
    TInterfaceTranslations();
    ~TInterfaceTranslations();
    TInterfaceTranslations(const TInterfaceTranslations&) = delete;
    TInterfaceTranslations& operator=(const TInterfaceTranslations&) = delete;

    // `folders` are searched for quillora_en.qm (tests name the build's).
    void Install(TLanguage language, const QStringList& folders = Folders());
    // True when the application's own translation is in use (English).
    bool Translated() const { return m_translated; }

    // The folders searched for quillora_<lang>.qm, in order.
    static QStringList Folders();

private:
    bool Load(const QString& name, const QStringList& folders);

    std::vector<std::unique_ptr<QTranslator>> m_installed;
    bool m_translated = false;
};
