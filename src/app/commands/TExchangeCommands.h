// TExchangeCommands: import and export of text files — 稿件库 ▸ 导入/导出 for
// the open library and the materials panel's 导入/导出 (also 插入 ▸ 资料库).
// Each command builds its dialog (dialogs/TfrmImport, TfrmExport), fills its
// folder tree from the store and shows it modally; after an import that added
// records it re-lists the window's view of that store. Owned by TMainCommands.
#pragma once

class TAppContext;
class TMainView;
class TfrmExport;

class TExchangeCommands {
public:
    TExchangeCommands(TMainView& main, TAppContext& context);

    void munDocImportClick();
    void munDocExportClick();
    void munInsertDocuImportClick();
    void munInsertDocuExportClick();

private:
    void ShowExport(TfrmExport& dialog);
    void RelistLibraryFolder();
    void RelistMaterialsFolder();

    TMainView& m_main;
    TAppContext& m_context;
};
