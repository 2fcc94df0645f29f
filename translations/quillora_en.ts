<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
    <context>
        <name>Commands</name>
        <message>
            <source>移动</source>
            <translation>Move</translation>
        </message>
        <message>
            <source>历史版本</source>
            <translation>Earlier Versions</translation>
        </message>
        <message>
            <source>输出书稿</source>
            <translation>Book Output</translation>
        </message>
        <message>
            <source>正在输出书稿……</source>
            <translation>Writing the book…</translation>
        </message>
        <message>
            <source>取消</source>
            <translation>Cancel</translation>
        </message>
        <message>
            <source>输出进度</source>
            <translation>Output progress</translation>
        </message>
        <message>
            <source>打开稿件库</source>
            <translation>Open Library</translation>
        </message>
        <message>
            <source>在稿件库中查找</source>
            <translation>Find in Library</translation>
        </message>
        <message>
            <source>压缩稿件库</source>
            <translation>Compact Library</translation>
        </message>
        <message>
            <source>修复稿件库</source>
            <translation>Repair Library</translation>
        </message>
        <message>
            <source>修改密码</source>
            <translation>Change Password</translation>
        </message>
        <message>
            <source>稿件库属性</source>
            <translation>Library Properties</translation>
        </message>
        <message>
            <source>从备份恢复</source>
            <translation>Restore from Backup</translation>
        </message>
        <message>
            <source>标签</source>
            <translation>Marks</translation>
        </message>
        <message>
            <source>资料库</source>
            <translation>Materials</translation>
        </message>
        <message>
            <source>插入图片</source>
            <translation>Insert Picture</translation>
        </message>
        <message>
            <source>图片</source>
            <translation>Picture</translation>
        </message>
        <message>
            <source>写作统计</source>
            <translation>Writing Statistics</translation>
        </message>
        <message>
            <source>设置目标</source>
            <translation>Set Goal</translation>
        </message>
    </context>
    <context>
        <name>DataErrors</name>
        <message>
            <source>在稿件库中查找</source>
            <translation>Find in Library</translation>
        </message>
        <message>
            <source>新建稿件库</source>
            <translation>New Library</translation>
        </message>
        <message>
            <source>打开稿件库</source>
            <translation>Open Library</translation>
        </message>
        <message>
            <source>插入图片</source>
            <translation>Insert Picture</translation>
        </message>
        <message>
            <source>图片</source>
            <translation>Picture</translation>
        </message>
        <message>
            <source>从备份恢复</source>
            <translation>Restore from Backup</translation>
        </message>
        <message>
            <source>导出</source>
            <translation>Export</translation>
        </message>
        <message>
            <source>备份稿件库</source>
            <translation>Back Up Library</translation>
        </message>
        <message>
            <source>历史版本</source>
            <translation>Earlier Versions</translation>
        </message>
        <message>
            <source>设置目标</source>
            <translation>Set Goal</translation>
        </message>
        <message>
            <source>输出书稿</source>
            <translation>Book Output</translation>
        </message>
        <message>
            <source>替换</source>
            <translation>replace</translation>
        </message>
        <message>
            <source>撤销替换</source>
            <translation>undo the replacement</translation>
        </message>
        <message>
            <source>是</source>
            <translation>Yes</translation>
        </message>
        <message>
            <source>否</source>
            <translation>No</translation>
        </message>
        <message>
            <source>最好</source>
            <translation>Best</translation>
        </message>
        <message>
            <source>标准</source>
            <translation>Normal</translation>
        </message>
        <message>
            <source>较快</source>
            <translation>Fast</translation>
        </message>
        <message>
            <source>最快</source>
            <translation>Fastest</translation>
        </message>
        <message>
            <source>%1 字节</source>
            <translation>%1 bytes</translation>
        </message>
        <message>
            <source>连续写作 %1 天</source>
            <translation>Writing %1 days in a row</translation>
        </message>
        <message>
            <source>共找到 %1 处，分布在 %2 篇稿件中</source>
            <translation>%1 matches found in %2 manuscripts</translation>
        </message>
        <message>
            <source>将替换 %1 处，涉及 %2 篇稿件。</source>
            <translation>%1 matches will be replaced in %2 manuscripts.</translation>
        </message>
        <message>
            <source>这个正则表达式能匹配空文本，会在每个字之间插入替换内容，不能使用。</source>
            <translation>This regular expression matches empty text and would insert the replacement between every character; it cannot be used.</translation>
        </message>
        <message>
            <source>正则表达式有误（第 %1 列）：%2</source>
            <translation>The regular expression has an error (column %1): %2</translation>
        </message>
        <message>
            <source>磁盘空间不足，无法写入文件：%1</source>
            <translation>Not enough disk space to write the file: %1</translation>
        </message>
        <message>
            <source>找不到文件或文件夹：%1</source>
            <translation>File or folder not found: %1</translation>
        </message>
        <message>
            <source>没有权限写入或读取：%1</source>
            <translation>No permission to read or write: %1</translation>
        </message>
        <message>
            <source>读写文件出错：%1
</source>
            <translation>Error reading or writing the file: %1
</translation>
        </message>
        <message>
            <source>稿件库正被其他程序独占使用，无法备份：%1</source>
            <translation>The library is held exclusively by another program and cannot be backed up: %1</translation>
        </message>
        <message>
            <source>稿件库正被其他程序写入，请稍后再试：%1</source>
            <translation>Another program is writing to the library; please try again later: %1</translation>
        </message>
        <message>
            <source>稿件库文件刚被其他程序替换，请再试一次：%1</source>
            <translation>The library file was just replaced by another program; please try again: %1</translation>
        </message>
        <message>
            <source>稿件库名称不能为空！</source>
            <translation>The library name cannot be empty!</translation>
        </message>
        <message>
            <source>稿件库已经存在！</source>
            <translation>The library already exists!</translation>
        </message>
        <message>
            <source>密码错误，无法打开稿件库！</source>
            <translation>Wrong password; the library cannot be opened!</translation>
        </message>
        <message>
            <source>图片的路径太长（超过255字节），无法插入：
</source>
            <translation>The picture's path is too long (over 255 bytes) and cannot be inserted:
</translation>
        </message>
        <message>
            <source>在指定位置没有找到图片，图片可能已删除或重命名！</source>
            <translation>No picture was found at that place; it may have been deleted or renamed!</translation>
        </message>
        <message>
            <source>无法在备份文件夹中写入文件：%1</source>
            <translation>Cannot write a file in the backup folder: %1</translation>
        </message>
        <message>
            <source>无法创建备份文件夹：%1</source>
            <translation>Cannot create the backup folder: %1</translation>
        </message>
        <message>
            <source>这个备份已损坏，不能恢复：%1</source>
            <translation>This backup is damaged and cannot be restored: %1</translation>
        </message>
        <message>
            <source>密码错误，无法打开这个备份！</source>
            <translation>Wrong password; this backup cannot be opened!</translation>
        </message>
        <message>
            <source>稿件已不存在</source>
            <translation>The manuscript no longer exists</translation>
        </message>
        <message>
            <source>此版本不存在。</source>
            <translation>This version does not exist.</translation>
        </message>
        <message>
            <source>此版本已损坏，无法恢复。</source>
            <translation>This version is damaged and cannot be restored.</translation>
        </message>
        <message>
            <source>目标字数必须大于0。</source>
            <translation>The goal must be more than 0 characters.</translation>
        </message>
        <message>
            <source>截止日期不能早于今天。</source>
            <translation>The deadline cannot be earlier than today.</translation>
        </message>
        <message>
            <source>这些稿件在查找之后又被修改或删除了，没有替换任何内容，请重新查找：
</source>
            <translation>These manuscripts were changed or deleted after the search; nothing was replaced. Please search again:
</translation>
        </message>
        <message>
            <source>这些稿件在替换之后又被修改或删除了，没有撤销：
</source>
            <translation>These manuscripts were changed or deleted after the replacement and were not restored:
</translation>
        </message>
        <message>
            <source>稿件库文件已被移走或删除，无法%1：
</source>
            <translation>The library file has been moved or deleted; cannot %1:
</translation>
        </message>
        <message>
            <source>稿件库文件是只读的，无法%1：
</source>
            <translation>The library file is read-only; cannot %1:
</translation>
        </message>
        <message>
            <source>无法压缩书稿。</source>
            <translation>Cannot compress the book.</translation>
        </message>
        <message>
            <source>书稿太大，超过 4 GB。</source>
            <translation>The book is too large (over 4 GB).</translation>
        </message>
        <message>
            <source>无法写入书稿：%1</source>
            <translation>Cannot write the book: %1</translation>
        </message>
        <message>
            <source>书稿的章节太多。</source>
            <translation>The book has too many chapters.</translation>
        </message>
        <message>
            <source>无法识别“%1”的书稿格式，文件名须以 %2 结尾。</source>
            <translation>The book format of “%1” is not recognised; the file name must end in %2.</translation>
        </message>
        <message>
            <source>输出 PDF 需要图形环境。</source>
            <translation>PDF output needs a graphical session.</translation>
        </message>
        <message>
            <source>“%1”是一个文件夹。</source>
            <translation>“%1” is a folder.</translation>
        </message>
        <message>
            <source>无法在“%1”中创建书稿：文件夹不存在。</source>
            <translation>Cannot create the book in “%1”: the folder does not exist.</translation>
        </message>
        <message>
            <source>无法在“%1”中创建书稿：%2</source>
            <translation>Cannot create the book in “%1”: %2</translation>
        </message>
        <message>
            <source>无法写入书稿“%1”：%2</source>
            <translation>Cannot write the book “%1”: %2</translation>
        </message>
        <message>
            <source>无法写入 PDF 书稿。</source>
            <translation>Cannot write the PDF book.</translation>
        </message>
        <message>
            <source>稿件夹 %1 不存在。</source>
            <translation>Folder %1 does not exist.</translation>
        </message>
        <message>
            <source>稿件 %1 不存在。</source>
            <translation>Manuscript %1 does not exist.</translation>
        </message>
        <message>
            <source>无法打开文件 "%1"：%2</source>
            <translation>Cannot open the file "%1": %2</translation>
        </message>
        <message>
            <source>无法读取文件 "%1"：%2</source>
            <translation>Cannot read the file "%1": %2</translation>
        </message>
        <message>
            <source>无法写入文件 "%1"：%2</source>
            <translation>Cannot write the file "%1": %2</translation>
        </message>
        <message>
            <source>稿件夹</source>
            <translation>Manuscripts</translation>
        </message>
        <message>
            <source>资料夹</source>
            <translation>Materials</translation>
        </message>
        <message>
            <source>这些稿件在替换之后又被修改或删除了，没有撤销：
%1
其余 %2 篇稿件已恢复。</source>
            <translation>These manuscripts were changed or deleted after the replacement and were not restored:
%1
The other %2 manuscripts were restored.</translation>
        </message>
    </context>
    <context>
        <name>DialogParts</name>
        <message>
            <source>浏览</source>
            <translation>Browse</translation>
        </message>
    </context>
    <context>
        <name>EditorFiles</name>
        <message>
            <source>无法打开文件 "%1"：%2</source>
            <translation>Cannot open the file "%1": %2</translation>
        </message>
        <message>
            <source>无法读取文件 "%1"：%2</source>
            <translation>Cannot read the file "%1": %2</translation>
        </message>
    </context>
    <context>
        <name>ExchangeParts</name>
        <message>
            <source> 等 %1 个</source>
            <translation> and %1 more</translation>
        </message>
    </context>
    <context>
        <name>HelpLinks</name>
        <message>
            <source>无法打开“%1”。</source>
            <translation>Cannot open “%1”.</translation>
        </message>
        <message>
            <source>QuilloraVer1.2 Plus错误反馈</source>
            <translation>QuilloraVer1.2 Plus error report</translation>
        </message>
        <message>
            <source>1.用户名称;2.使用的操作系统;3.错误报告;</source>
            <translation>1. User name; 2. Operating system; 3. Error report;</translation>
        </message>
        <message>
            <source>找不到帮助文件“%1”。</source>
            <translation>The help file “%1” cannot be found.</translation>
        </message>
        <message>
            <source>帮助主题</source>
            <translation>Help Topics</translation>
        </message>
        <message>
            <source>帮助主题.html</source>
            <translation>help-en.html</translation>
        </message>
    </context>
    <context>
        <name>SearchDialogParts</name>
        <message>
            <source>方向</source>
            <translation>Direction</translation>
        </message>
        <message>
            <source>向上(&amp;U)</source>
            <translation>&amp;Up</translation>
        </message>
        <message>
            <source>向下(&amp;D)</source>
            <translation>&amp;Down</translation>
        </message>
    </context>
    <context>
        <name>ShellIcons</name>
        <message>
            <source>印</source>
            <translation>P</translation>
        </message>
        <message>
            <source>剪</source>
            <translation>X</translation>
        </message>
        <message>
            <source>复</source>
            <translation>C</translation>
        </message>
        <message>
            <source>粘</source>
            <translation>V</translation>
        </message>
        <message>
            <source>阅</source>
            <translation>R</translation>
        </message>
    </context>
    <context>
        <name>TBackupService</name>
        <message>
            <source>备份稿件库</source>
            <translation>Back Up Library</translation>
        </message>
        <message>
            <source>稿件库“%1”未通过检查，可能已经损坏。已照样备份，这份备份标记为已损坏；请用“修复稿件库”修复。</source>
            <translation>The library “%1” failed its check and may be damaged. It was backed up as it is, and the backup is marked as damaged; please repair it with “Repair Library”.</translation>
        </message>
    </context>
    <context>
        <name>TBookCommands</name>
        <message>
            <source>书稿已输出到“%1”，共 %2 章。</source>
            <translation>The book was written to “%1”: %2 chapters.</translation>
        </message>
    </context>
    <context>
        <name>TDBAttrPanel</name>
        <message>
            <source>名称：</source>
            <translation>Name:</translation>
        </message>
        <message>
            <source>大小：</source>
            <translation>Size:</translation>
        </message>
        <message>
            <source>描述：</source>
            <translation>Description:</translation>
        </message>
        <message>
            <source>位置：</source>
            <translation>Location:</translation>
        </message>
        <message>
            <source>稿件夹：</source>
            <translation>Folders:</translation>
        </message>
        <message>
            <source>稿件：</source>
            <translation>Manuscripts:</translation>
        </message>
        <message>
            <source>插图：</source>
            <translation>Pictures:</translation>
        </message>
        <message>
            <source>标签：</source>
            <translation>Marks:</translation>
        </message>
        <message>
            <source>修改日期：</source>
            <translation>Modified:</translation>
        </message>
        <message>
            <source>是否压缩：</source>
            <translation>Compressed:</translation>
        </message>
        <message>
            <source>压缩等级：</source>
            <translation>Compression level:</translation>
        </message>
        <message>
            <source>是否加密：</source>
            <translation>Encrypted:</translation>
        </message>
    </context>
    <context>
        <name>TEditCommands</name>
        <message>
            <source>插入文档</source>
            <translation>Insert Document</translation>
        </message>
        <message>
            <source>文本文件(*.txt)|*.txt</source>
            <translation>Text files(*.txt)|*.txt</translation>
        </message>
    </context>
    <context>
        <name>TExchangeCommands</name>
        <message>
            <source>导入</source>
            <translation>Import</translation>
        </message>
        <message>
            <source>导出</source>
            <translation>Export</translation>
        </message>
        <message>
            <source>请选择资料夹</source>
            <translation>Choose a materials folder</translation>
        </message>
        <message>
            <source>导出资料的存放路径(不要包含空格):</source>
            <translation>Folder for the exported materials (no spaces):</translation>
        </message>
        <message>
            <source>资料</source>
            <translation>Materials</translation>
        </message>
    </context>
    <context>
        <name>TExchangeProgress</name>
        <message>
            <source>进度</source>
            <translation>Progress</translation>
        </message>
        <message>
            <source>取消</source>
            <translation>Cancel</translation>
        </message>
    </context>
    <context>
        <name>TFolderCommands</name>
        <message>
            <source>稿件夹</source>
            <translation>Folder</translation>
        </message>
        <message>
            <source>重命名稿件夹</source>
            <translation>Rename Folder</translation>
        </message>
        <message>
            <source>新建稿件夹</source>
            <translation>New Folder</translation>
        </message>
        <message>
            <source>确实要删除此稿件夹和所有稿件吗？</source>
            <translation>Delete this folder and all its manuscripts?</translation>
        </message>
        <message>
            <source>删除稿件夹</source>
            <translation>Delete Folder</translation>
        </message>
        <message>
            <source>稿件的内容已经更改，是否保存？</source>
            <translation>The manuscript has changed. Save it?</translation>
        </message>
        <message>
            <source>关闭稿件</source>
            <translation>Close Manuscript</translation>
        </message>
    </context>
    <context>
        <name>TFullScreenWriting</name>
        <message>
            <source>全屏写作状态</source>
            <translation>Full-screen writing status</translation>
        </message>
    </context>
    <context>
        <name>TGoalBox</name>
        <message>
            <source>不设目标</source>
            <translation>No goal</translation>
        </message>
        <message>
            <source>目标字数：</source>
            <translation>Goal (characters):</translation>
        </message>
        <message>
            <source>截止日期</source>
            <translation>Deadline</translation>
        </message>
        <message>
            <source>设置目标</source>
            <translation>Set Goal</translation>
        </message>
    </context>
    <context>
        <name>TLibraryCommands</name>
        <message>
            <source>找不到稿件库文件：</source>
            <translation>Library file not found: </translation>
        </message>
        <message>
            <source>无法打开稿件库：</source>
            <translation>Cannot open the library: </translation>
        </message>
        <message>
            <source>新建稿件库</source>
            <translation>New Library</translation>
        </message>
        <message>
            <source>稿件库(*.qdb)|*.qdb</source>
            <translation>Libraries(*.qdb)|*.qdb</translation>
        </message>
        <message>
            <source>关闭稿件库</source>
            <translation>Close Library</translation>
        </message>
        <message>
            <source>正在压缩稿件库……</source>
            <translation>Compacting the library…</translation>
        </message>
        <message>
            <source>已完成对稿件库的压缩！</source>
            <translation>The library has been compacted!</translation>
        </message>
        <message>
            <source>正在修复稿件库……</source>
            <translation>Repairing the library…</translation>
        </message>
        <message>
            <source>已完成对稿件库的修复！</source>
            <translation>The library has been repaired!</translation>
        </message>
        <message>
            <source>正在修改密码……</source>
            <translation>Changing the password…</translation>
        </message>
        <message>
            <source>无法在桌面上创建快捷方式：</source>
            <translation>Cannot create a shortcut on the desktop: </translation>
        </message>
        <message>
            <source>设置目标</source>
            <translation>Set Goal</translation>
        </message>
        <message>
            <source>这个稿件库还没有备份。</source>
            <translation>This library has no backups yet.</translation>
        </message>
        <message>
            <source>密码错误，无法打开这个备份！</source>
            <translation>Wrong password; this backup cannot be opened!</translation>
        </message>
        <message>
            <source>这个备份已损坏，不能恢复。</source>
            <translation>This backup is damaged and cannot be restored.</translation>
        </message>
        <message>
            <source>确实要用 %1 的备份替换当前的稿件库吗？
当前的稿件库会先备份。</source>
            <translation>Replace the current library with the backup of %1?
The current library is backed up first.</translation>
        </message>
        <message>
            <source>状态：已恢复</source>
            <translation>Status: restored</translation>
        </message>
        <message>
            <source>已从 %1 的备份恢复稿件库。</source>
            <translation>The library was restored from the backup of %1.</translation>
        </message>
        <message>
            <source>%1失败，稿件库保持原样。</source>
            <translation>%1 failed; the library is unchanged.</translation>
        </message>
    </context>
    <context>
        <name>TLibraryFindCommands</name>
        <message>
            <source>这些稿件保存的文字无法原样读出，不做替换：
</source>
            <translation>The saved text of these manuscripts cannot be read back exactly; they are not replaced:
</translation>
        </message>
        <message>
            <source>已替换 %1 处，涉及 %2 篇稿件</source>
            <translation>%1 matches replaced in %2 manuscripts</translation>
        </message>
    </context>
    <context>
        <name>TManuscriptCommands</name>
        <message>
            <source>状态：保存</source>
            <translation>Status: saved</translation>
        </message>
        <message>
            <source>稿件的内容已经更改，是否保存？</source>
            <translation>The manuscript has changed. Save it?</translation>
        </message>
        <message>
            <source>打开</source>
            <translation>Open</translation>
        </message>
        <message>
            <source>文本文件(*.txt)|*.txt|*.*|*.*</source>
            <translation>Text files(*.txt)|*.txt|*.*|*.*</translation>
        </message>
        <message>
            <source>保存</source>
            <translation>Save</translation>
        </message>
        <message>
            <source>关闭稿件</source>
            <translation>Close Manuscript</translation>
        </message>
        <message>
            <source>稿件内容已经更改，是否保存？</source>
            <translation>The manuscript has changed. Save it?</translation>
        </message>
        <message>
            <source>新建</source>
            <translation>New</translation>
        </message>
        <message>
            <source>状态：新建</source>
            <translation>Status: new</translation>
        </message>
        <message>
            <source>状态：打开</source>
            <translation>Status: opened</translation>
        </message>
        <message>
            <source>稿件库文件已被移走或删除，无法保存：
</source>
            <translation>The library file has been moved or deleted; cannot save:
</translation>
        </message>
        <message>
            <source>另存为</source>
            <translation>Save As</translation>
        </message>
        <message>
            <source>文本文件(*.txt)|*.txt</source>
            <translation>Text files(*.txt)|*.txt</translation>
        </message>
        <message>
            <source>确实要删除此稿件吗？</source>
            <translation>Delete this manuscript?</translation>
        </message>
        <message>
            <source>删除稿件</source>
            <translation>Delete Manuscript</translation>
        </message>
        <message>
            <source>重命名</source>
            <translation>Rename</translation>
        </message>
        <message>
            <source>属性</source>
            <translation>Properties</translation>
        </message>
        <message>
            <source>设置目标</source>
            <translation>Set Goal</translation>
        </message>
        <message>
            <source>打印稿件</source>
            <translation>Print Manuscript</translation>
        </message>
        <message>
            <source>没有找到可用的打印机。是否打印到 PDF 文件？</source>
            <translation>No usable printer was found. Print to a PDF file?</translation>
        </message>
        <message>
            <source>PDF 文件(*.pdf)|*.pdf</source>
            <translation>PDF files(*.pdf)|*.pdf</translation>
        </message>
        <message>
            <source>状态：自动保存失败 %1</source>
            <translation>Status: auto-save failed %1</translation>
        </message>
        <message>
            <source>今日：%1 字</source>
            <translation>Today: %1 characters</translation>
        </message>
        <message>
            <source>目标：%1 / %2</source>
            <translation>Goal: %1 / %2</translation>
        </message>
    </context>
    <context>
        <name>TMaterialCommands</name>
        <message>
            <source>重命名资料夹</source>
            <translation>Rename Materials Folder</translation>
        </message>
        <message>
            <source>新建资料夹</source>
            <translation>New Materials Folder</translation>
        </message>
        <message>
            <source>确实要将此资料夹及其资料删除吗？</source>
            <translation>Delete this materials folder and its materials?</translation>
        </message>
        <message>
            <source>删除</source>
            <translation>Delete</translation>
        </message>
        <message>
            <source>删除资料夹</source>
            <translation>Delete Materials Folder</translation>
        </message>
        <message>
            <source>新建资料</source>
            <translation>New Material</translation>
        </message>
        <message>
            <source>无法保存，请选择一个资料文件!</source>
            <translation>Cannot save; please choose a material!</translation>
        </message>
        <message>
            <source>保存资料</source>
            <translation>Save Material</translation>
        </message>
        <message>
            <source>重命名资料</source>
            <translation>Rename Material</translation>
        </message>
        <message>
            <source>确实要删除此资料吗？</source>
            <translation>Delete this material?</translation>
        </message>
        <message>
            <source>删除资料</source>
            <translation>Delete Material</translation>
        </message>
        <message>
            <source>插入资料</source>
            <translation>Insert Material</translation>
        </message>
    </context>
    <context>
        <name>TPictureCommands</name>
        <message>
            <source>位图</source>
            <translation>Bitmap</translation>
        </message>
        <message>
            <source>GIF 动画图像</source>
            <translation>GIF animation</translation>
        </message>
        <message>
            <source>图标</source>
            <translation>Icon</translation>
        </message>
        <message>
            <source>JPEG 图像</source>
            <translation>JPEG image</translation>
        </message>
        <message>
            <source>PNG 图像</source>
            <translation>PNG image</translation>
        </message>
        <message>
            <source>SVG 矢量图</source>
            <translation>SVG vector image</translation>
        </message>
        <message>
            <source>SVG 压缩矢量图</source>
            <translation>Compressed SVG vector image</translation>
        </message>
        <message>
            <source>TIFF 图像</source>
            <translation>TIFF image</translation>
        </message>
        <message>
            <source>WebP 图像</source>
            <translation>WebP image</translation>
        </message>
        <message>
            <source>PBM 黑白位图</source>
            <translation>PBM black-and-white bitmap</translation>
        </message>
        <message>
            <source>PGM 灰度图像</source>
            <translation>PGM greyscale image</translation>
        </message>
        <message>
            <source>PPM 彩色图像</source>
            <translation>PPM colour image</translation>
        </message>
        <message>
            <source>XBM 黑白位图</source>
            <translation>XBM black-and-white bitmap</translation>
        </message>
        <message>
            <source>XPM 彩色图像</source>
            <translation>XPM colour image</translation>
        </message>
        <message>
            <source>光标</source>
            <translation>Cursor</translation>
        </message>
        <message>
            <source>苹果图标</source>
            <translation>Apple icon</translation>
        </message>
        <message>
            <source>TGA 图像</source>
            <translation>TGA image</translation>
        </message>
        <message>
            <source>无线位图</source>
            <translation>Wireless bitmap</translation>
        </message>
        <message>
            <source>HEIC 图像</source>
            <translation>HEIC image</translation>
        </message>
        <message>
            <source>AVIF 图像</source>
            <translation>AVIF image</translation>
        </message>
        <message>
            <source>JPEG 2000 图像</source>
            <translation>JPEG 2000 image</translation>
        </message>
        <message>
            <source>DDS 纹理图像</source>
            <translation>DDS texture image</translation>
        </message>
        <message>
            <source>所有支持的格式 (%1)|%1|</source>
            <translation>All supported formats (%1)|%1|</translation>
        </message>
        <message>
            <source>确实要将此插图删除吗？</source>
            <translation>Delete this picture?</translation>
        </message>
        <message>
            <source>删除</source>
            <translation>Delete</translation>
        </message>
        <message>
            <source>重命名</source>
            <translation>Rename</translation>
        </message>
        <message>
            <source>%1 图像</source>
            <translation>%1 image</translation>
        </message>
    </context>
    <context>
        <name>TPicturePreview</name>
        <message>
            <source>图片</source>
            <translation>Picture</translation>
        </message>
        <message>
            <source>插图预览</source>
            <translation>Picture Preview</translation>
        </message>
    </context>
    <context>
        <name>TQtDialogService</name>
        <message>
            <source>是(&amp;Y)</source>
            <translation>&amp;Yes</translation>
        </message>
        <message>
            <source>否(&amp;N)</source>
            <translation>&amp;No</translation>
        </message>
        <message>
            <source>确定</source>
            <translation>OK</translation>
        </message>
        <message>
            <source>打开稿件库</source>
            <translation>Open Library</translation>
        </message>
        <message>
            <source>输入密码：</source>
            <translation>Password:</translation>
        </message>
        <message>
            <source>确认密码：</source>
            <translation>Confirm password:</translation>
        </message>
        <message>
            <source>确认</source>
            <translation>Confirm</translation>
        </message>
        <message>
            <source>取消</source>
            <translation>Cancel</translation>
        </message>
    </context>
    <context>
        <name>TQuilloraApplication</name>
        <message>
            <source>未知错误</source>
            <translation>Unknown error</translation>
        </message>
    </context>
    <context>
        <name>TSessionCommands</name>
        <message>
            <source>退出</source>
            <translation>Exit</translation>
        </message>
        <message>
            <source>文件不为可接受格式!</source>
            <translation>The file is not in an accepted format!</translation>
        </message>
        <message>
            <source>打开</source>
            <translation>Open</translation>
        </message>
    </context>
    <context>
        <name>TSideChannel</name>
        <message>
            <source>收起</source>
            <translation>Collapse</translation>
        </message>
        <message>
            <source>固定</source>
            <translation>Pin</translation>
        </message>
    </context>
    <context>
        <name>TStatusPanels</name>
        <message>
            <source>稿件库</source>
            <translation>Library</translation>
        </message>
        <message>
            <source>稿件名称</source>
            <translation>Manuscript name</translation>
        </message>
        <message>
            <source>插入</source>
            <translation>Insert</translation>
        </message>
        <message>
            <source>大写</source>
            <translation>Caps</translation>
        </message>
        <message>
            <source>小键盘</source>
            <translation>Num pad</translation>
        </message>
        <message>
            <source>状态：</source>
            <translation>Status:</translation>
        </message>
        <message>
            <source>行</source>
            <translation>Line</translation>
        </message>
        <message>
            <source>列</source>
            <translation>Column</translation>
        </message>
    </context>
    <context>
        <name>TTomeDBLoginForm</name>
        <message>
            <source>稿件库密码</source>
            <translation>Library Password</translation>
        </message>
        <message>
            <source>稿件库</source>
            <translation>Library</translation>
        </message>
        <message>
            <source>密码</source>
            <translation>Password</translation>
        </message>
        <message>
            <source>稿件库：</source>
            <translation>Library:</translation>
        </message>
        <message>
            <source>密码：</source>
            <translation>Password:</translation>
        </message>
        <message>
            <source>确定</source>
            <translation>OK</translation>
        </message>
        <message>
            <source>取消</source>
            <translation>Cancel</translation>
        </message>
    </context>
    <context>
        <name>TToolCommands</name>
        <message>
            <source>英文单词：</source>
            <translation>English words: </translation>
        </message>
        <message>
            <source>中文字数：</source>
            <translation>Chinese characters: </translation>
        </message>
        <message>
            <source>字数统计</source>
            <translation>Word Count</translation>
        </message>
        <message>
            <source>稿件：</source>
            <translation>Manuscripts:</translation>
        </message>
        <message>
            <source>发送邮件</source>
            <translation>Send Mail</translation>
        </message>
        <message>
            <source>无法用稿件名称作为压缩包的文件名：</source>
            <translation>The manuscript's name cannot be used as the archive's file name: </translation>
        </message>
        <message>
            <source>以下图片文件没有找到，没有放入附件：
</source>
            <translation>These picture files were not found and were not attached:
</translation>
        </message>
    </context>
    <context>
        <name>TWritingChart</name>
        <message>
            <source>每日汉字图表</source>
            <translation>Chinese characters per day</translation>
        </message>
        <message>
            <source>每天写的汉字数；数字见下方表格</source>
            <translation>Chinese characters written each day; the figures are in the table below</translation>
        </message>
    </context>
    <context>
        <name>TWritingCommands</name>
        <message>
            <source>稿件库</source>
            <translation>Library</translation>
        </message>
        <message>
            <source>稿件夹：</source>
            <translation>Folders:</translation>
        </message>
        <message>
            <source>（已删除）</source>
            <translation>(deleted)</translation>
        </message>
        <message>
            <source>稿件：</source>
            <translation>Manuscripts:</translation>
        </message>
        <message>
            <source>导出CSV</source>
            <translation>Export CSV</translation>
        </message>
        <message>
            <source>CSV文件(*.csv)|*.csv</source>
            <translation>CSV files(*.csv)|*.csv</translation>
        </message>
        <message>
            <source>写作统计.csv</source>
            <translation>writing statistics.csv</translation>
        </message>
        <message>
            <source>无法写入文件：</source>
            <translation>Cannot write the file: </translation>
        </message>
        <message>
            <source>稿件库：</source>
            <translation>Library:</translation>
        </message>
    </context>
    <context>
        <name>TZipArchive</name>
        <message>
            <source>无法写入图片压缩包：%1
%2</source>
            <translation>Cannot write the picture archive: %1
%2</translation>
        </message>
        <message>
            <source>发送邮件</source>
            <translation>Send Mail</translation>
        </message>
    </context>
    <context>
        <name>TfrmAbout</name>
        <message>
            <source>关于</source>
            <translation>About</translation>
        </message>
        <message>
            <source>Quillora  版本：1.3.0</source>
            <translation>Quillora  Version: 1.3.0</translation>
        </message>
        <message>
            <source>主页：</source>
            <translation>Home page:</translation>
        </message>
        <message>
            <source>邮件：</source>
            <translation>Mail:</translation>
        </message>
    </context>
    <context>
        <name>TfrmBookOutput</name>
        <message>
            <source>Word 文档 (DOCX)</source>
            <translation>Word document (DOCX)</translation>
        </message>
        <message>
            <source>OpenDocument 文本 (ODT)</source>
            <translation>OpenDocument text (ODT)</translation>
        </message>
        <message>
            <source>电子书 (EPUB)</source>
            <translation>E-book (EPUB)</translation>
        </message>
        <message>
            <source>网页 (HTML)</source>
            <translation>Web page (HTML)</translation>
        </message>
        <message>
            <source>纯文本 (TXT)</source>
            <translation>Plain text (TXT)</translation>
        </message>
        <message>
            <source>输出书稿</source>
            <translation>Book Output</translation>
        </message>
        <message>
            <source>输出内容</source>
            <translation>What to output</translation>
        </message>
        <message>
            <source>整个稿件库</source>
            <translation>The whole library</translation>
        </message>
        <message>
            <source>选中的稿件夹</source>
            <translation>The selected folder</translation>
        </message>
        <message>
            <source>选中的稿件</source>
            <translation>The selected manuscripts</translation>
        </message>
        <message>
            <source>格式：</source>
            <translation>Format:</translation>
        </message>
        <message>
            <source>PDF 纸张：</source>
            <translation>PDF paper:</translation>
        </message>
        <message>
            <source>书名：</source>
            <translation>Title:</translation>
        </message>
        <message>
            <source>作者：</source>
            <translation>Author:</translation>
        </message>
        <message>
            <source>输出文件：</source>
            <translation>Output file:</translation>
        </message>
        <message>
            <source>输出文件</source>
            <translation>Output file</translation>
        </message>
        <message>
            <source>输出(&amp;O)</source>
            <translation>&amp;Output</translation>
        </message>
        <message>
            <source>取消(&amp;C)</source>
            <translation>&amp;Cancel</translation>
        </message>
        <message>
            <source>输出</source>
            <translation>Output</translation>
        </message>
        <message>
            <source>取消</source>
            <translation>Cancel</translation>
        </message>
        <message>
            <source>选中的稿件夹：%1</source>
            <translation>The selected folder: %1</translation>
        </message>
        <message>
            <source>选中的稿件（%1 篇）</source>
            <translation>The selected manuscripts (%1)</translation>
        </message>
        <message>
            <source>请选择输出文件。</source>
            <translation>Please choose the output file.</translation>
        </message>
    </context>
    <context>
        <name>TfrmCheckPY</name>
        <message>
            <source>反查拼音</source>
            <translation>Pinyin Lookup</translation>
        </message>
        <message>
            <source>要查找的汉字</source>
            <translation>Chinese characters to look up</translation>
        </message>
        <message>
            <source>汉字的拼音</source>
            <translation>Pinyin of the characters</translation>
        </message>
        <message>
            <source>查找</source>
            <translation>Find</translation>
        </message>
        <message>
            <source>清空</source>
            <translation>Clear</translation>
        </message>
        <message>
            <source>退出</source>
            <translation>Exit</translation>
        </message>
    </context>
    <context>
        <name>TfrmCreatDocData</name>
        <message>
            <source>新建稿件库</source>
            <translation>New Library</translation>
        </message>
        <message>
            <source>稿件库名称：</source>
            <translation>Library name:</translation>
        </message>
        <message>
            <source>稿件库名称</source>
            <translation>Library name</translation>
        </message>
        <message>
            <source>位置：</source>
            <translation>Location:</translation>
        </message>
        <message>
            <source>稿件库描述：</source>
            <translation>Library description:</translation>
        </message>
        <message>
            <source>稿件库属性</source>
            <translation>Library Properties</translation>
        </message>
        <message>
            <source>设置稿件库密码</source>
            <translation>Set a library password</translation>
        </message>
        <message>
            <source>密码：</source>
            <translation>Password:</translation>
        </message>
        <message>
            <source>确认：</source>
            <translation>Confirm:</translation>
        </message>
        <message>
            <source>使用CRC32校验保护稿件库</source>
            <translation>Protect the library with CRC32 checksums</translation>
        </message>
        <message>
            <source>最快</source>
            <translation>Fastest</translation>
        </message>
        <message>
            <source>较快</source>
            <translation>Fast</translation>
        </message>
        <message>
            <source>标准</source>
            <translation>Normal</translation>
        </message>
        <message>
            <source>最好</source>
            <translation>Best</translation>
        </message>
        <message>
            <source>稿件库压缩级别：</source>
            <translation>Library compression level:</translation>
        </message>
        <message>
            <source>创建(&amp;B)</source>
            <translation>&amp;Create</translation>
        </message>
        <message>
            <source>取消(&amp;C)</source>
            <translation>&amp;Cancel</translation>
        </message>
        <message>
            <source>稿件库(*.qdb)|*.qdb</source>
            <translation>Libraries(*.qdb)|*.qdb</translation>
        </message>
        <message>
            <source>稿件库</source>
            <translation>Library</translation>
        </message>
        <message>
            <source>稿件库名称不能为空！</source>
            <translation>The library name cannot be empty!</translation>
        </message>
        <message>
            <source>两次输入的密码不一致！</source>
            <translation>The two passwords do not match!</translation>
        </message>
    </context>
    <context>
        <name>TfrmDBAttribute</name>
        <message>
            <source>稿件库属性</source>
            <translation>Library Properties</translation>
        </message>
        <message>
            <source>属性</source>
            <translation>Properties</translation>
        </message>
        <message>
            <source>工具</source>
            <translation>Tools</translation>
        </message>
        <message>
            <source>目标</source>
            <translation>Goal</translation>
        </message>
        <message>
            <source>确定</source>
            <translation>OK</translation>
        </message>
        <message>
            <source>取消</source>
            <translation>Cancel</translation>
        </message>
        <message>
            <source>密码</source>
            <translation>Password</translation>
        </message>
        <message>
            <source>修改密码</source>
            <translation>Change Password</translation>
        </message>
        <message>
            <source>确认</source>
            <translation>Confirm</translation>
        </message>
        <message>
            <source>为稿件库创建快捷方式(&amp;S)</source>
            <translation>Create a &amp;Shortcut to the Library</translation>
        </message>
        <message>
            <source>压缩稿件库(&amp;C)</source>
            <translation>&amp;Compact Library</translation>
        </message>
        <message>
            <source>修复稿件库(&amp;R)</source>
            <translation>&amp;Repair Library</translation>
        </message>
        <message>
            <source>两次输入的密码不一致！</source>
            <translation>The two passwords do not match!</translation>
        </message>
    </context>
    <context>
        <name>TfrmDBCenter</name>
        <message>
            <source>稿件库中心</source>
            <translation>Library Centre</translation>
        </message>
        <message>
            <source>稿件库</source>
            <translation>Library</translation>
        </message>
        <message>
            <source>新建(&amp;C)</source>
            <translation>&amp;New</translation>
        </message>
        <message>
            <source>新建稿件库</source>
            <translation>New Library</translation>
        </message>
        <message>
            <source>打开(&amp;O)</source>
            <translation>&amp;Open</translation>
        </message>
        <message>
            <source>打开稿件库</source>
            <translation>Open Library</translation>
        </message>
        <message>
            <source>添加(&amp;A)</source>
            <translation>&amp;Add</translation>
        </message>
        <message>
            <source>添加已存在的稿件库</source>
            <translation>Add an existing library</translation>
        </message>
        <message>
            <source>移除(&amp;D)</source>
            <translation>&amp;Remove</translation>
        </message>
        <message>
            <source>从列表中移除</source>
            <translation>Remove from the list</translation>
        </message>
        <message>
            <source>关闭(&amp;X)</source>
            <translation>&amp;Close</translation>
        </message>
        <message>
            <source>关闭</source>
            <translation>Close</translation>
        </message>
        <message>
            <source>添加稿件库</source>
            <translation>Add Library</translation>
        </message>
        <message>
            <source>稿件库(*.qdb)|*.qdb</source>
            <translation>Libraries(*.qdb)|*.qdb</translation>
        </message>
        <message>
            <source>确实要将此稿件库从列表中移除吗？</source>
            <translation>Remove this library from the list?</translation>
        </message>
        <message>
            <source>移除稿件库</source>
            <translation>Remove Library</translation>
        </message>
        <message>
            <source>无法读取稿件库：%1
%2</source>
            <translation>Cannot read the library: %1
%2</translation>
        </message>
    </context>
    <context>
        <name>TfrmDocAttr</name>
        <message>
            <source>属性</source>
            <translation>Properties</translation>
        </message>
        <message>
            <source>稿件属性</source>
            <translation>Manuscript Properties</translation>
        </message>
        <message>
            <source>名称：</source>
            <translation>Name:</translation>
        </message>
        <message>
            <source>创建日期：</source>
            <translation>Created:</translation>
        </message>
        <message>
            <source>修改日期：</source>
            <translation>Modified:</translation>
        </message>
        <message>
            <source>中文字数：</source>
            <translation>Chinese characters: </translation>
        </message>
        <message>
            <source>英文单词数：</source>
            <translation>English words:</translation>
        </message>
        <message>
            <source>插图：</source>
            <translation>Pictures:</translation>
        </message>
        <message>
            <source>标签：</source>
            <translation>Marks:</translation>
        </message>
        <message>
            <source>发表刊物：</source>
            <translation>Published in:</translation>
        </message>
        <message>
            <source>稿费：</source>
            <translation>Fee:</translation>
        </message>
        <message>
            <source>写作目标</source>
            <translation>Writing Goal</translation>
        </message>
        <message>
            <source>确定</source>
            <translation>OK</translation>
        </message>
        <message>
            <source>取消</source>
            <translation>Cancel</translation>
        </message>
        <message>
            <source>稿费只能填写数字，最多五位！</source>
            <translation>The fee may only be a number of at most five digits!</translation>
        </message>
    </context>
    <context>
        <name>TfrmExport</name>
        <message>
            <source>导出</source>
            <translation>Export</translation>
        </message>
        <message>
            <source>"%1" 已不存在</source>
            <translation>"%1" no longer exists</translation>
        </message>
        <message>
            <source>"%1" 不能用作文件名</source>
            <translation>"%1" cannot be used as a file name</translation>
        </message>
        <message>
            <source>"%1" 无法读取：%2</source>
            <translation>"%1" cannot be read: %2</translation>
        </message>
        <message>
            <source>稿件夹</source>
            <translation>Folder</translation>
        </message>
        <message>
            <source>文件夹中的稿件</source>
            <translation>Manuscripts in the folder</translation>
        </message>
        <message>
            <source>稿件</source>
            <translation>Manuscript</translation>
        </message>
        <message>
            <source>要导出的稿件</source>
            <translation>Manuscripts to export</translation>
        </message>
        <message>
            <source>大小</source>
            <translation>Size</translation>
        </message>
        <message>
            <source>导出稿件的存放路径(不要包含空格)：</source>
            <translation>Folder for the exported manuscripts (no spaces):</translation>
        </message>
        <message>
            <source>浏览</source>
            <translation>Browse</translation>
        </message>
        <message>
            <source>全部选择&gt;&gt;</source>
            <translation>Select All&gt;&gt;</translation>
        </message>
        <message>
            <source>全部删除&lt;&lt;</source>
            <translation>Remove All&lt;&lt;</translation>
        </message>
        <message>
            <source>导出(&amp;E)</source>
            <translation>&amp;Export</translation>
        </message>
        <message>
            <source>关闭(&amp;C)</source>
            <translation>&amp;Close</translation>
        </message>
        <message>
            <source>请选择一个文件夹</source>
            <translation>Please choose a folder</translation>
        </message>
        <message>
            <source>无法创建文件夹 "%1"</source>
            <translation>Cannot create the folder "%1"</translation>
        </message>
        <message>
            <source>导出已取消：已经导出 %1 个文件，共 %2 个。</source>
            <translation>Export cancelled: %1 of %2 files exported.</translation>
        </message>
        <message>
            <source>已经完成对稿件的导出！</source>
            <translation>The manuscripts have been exported!</translation>
        </message>
        <message>
            <source>已经完成对资料的导出！</source>
            <translation>The materials have been exported!</translation>
        </message>
        <message>
            <source>
同名的稿件另存为：</source>
            <translation>
Manuscripts with the same name were saved as:</translation>
        </message>
        <message>
            <source>
同名的资料另存为：</source>
            <translation>
Materials with the same name were saved as:</translation>
        </message>
        <message>
            <source>%1 个稿件未能导出：</source>
            <translation>%1 manuscripts could not be exported:</translation>
        </message>
        <message>
            <source>%1 个资料未能导出：</source>
            <translation>%1 materials could not be exported:</translation>
        </message>
    </context>
    <context>
        <name>TfrmFind</name>
        <message>
            <source>查找</source>
            <translation>Find</translation>
        </message>
        <message>
            <source>全字匹配(&amp;W)</source>
            <translation>Match &amp;whole word</translation>
        </message>
        <message>
            <source>区分大小写(&amp;C)</source>
            <translation>Match &amp;case</translation>
        </message>
        <message>
            <source>查找下一个(&amp;F)</source>
            <translation>&amp;Find Next</translation>
        </message>
        <message>
            <source>取消</source>
            <translation>Cancel</translation>
        </message>
        <message>
            <source>查找内容(&amp;N)：</source>
            <translation>Fi&amp;nd what:</translation>
        </message>
    </context>
    <context>
        <name>TfrmGoal</name>
        <message>
            <source>设置目标</source>
            <translation>Set Goal</translation>
        </message>
        <message>
            <source>确定</source>
            <translation>OK</translation>
        </message>
        <message>
            <source>取消</source>
            <translation>Cancel</translation>
        </message>
    </context>
    <context>
        <name>TfrmHistory</name>
        <message>
            <source>已损坏</source>
            <translation>Damaged</translation>
        </message>
        <message>
            <source>历史版本</source>
            <translation>Earlier Versions</translation>
        </message>
        <message>
            <source>历史版本列表</source>
            <translation>List of earlier versions</translation>
        </message>
        <message>
            <source>保存时间</source>
            <translation>Saved</translation>
        </message>
        <message>
            <source>汉字</source>
            <translation>Characters</translation>
        </message>
        <message>
            <source>变化</source>
            <translation>Change</translation>
        </message>
        <message>
            <source>状态</source>
            <translation>Status</translation>
        </message>
        <message>
            <source>此版本比当前文本多出的字数</source>
            <translation>How many more characters this version has than the current text</translation>
        </message>
        <message>
            <source>所选版本</source>
            <translation>Selected version</translation>
        </message>
        <message>
            <source>当前文本</source>
            <translation>Current text</translation>
        </message>
        <message>
            <source>所选版本（删去的文字划线标出）：</source>
            <translation>Selected version (deleted text struck through):</translation>
        </message>
        <message>
            <source>当前文本（新增的文字下划线标出）：</source>
            <translation>Current text (added text underlined):</translation>
        </message>
        <message>
            <source>差异说明</source>
            <translation>Summary of differences</translation>
        </message>
        <message>
            <source>恢复此版本</source>
            <translation>Restore This Version</translation>
        </message>
        <message>
            <source>关闭</source>
            <translation>Close</translation>
        </message>
        <message>
            <source>版本（新的在前）：</source>
            <translation>Versions (newest first):</translation>
        </message>
        <message>
            <source>此版本已损坏，无法显示或恢复。</source>
            <translation>This version is damaged and cannot be shown or restored.</translation>
        </message>
        <message>
            <source>此版本已损坏，无法恢复。</source>
            <translation>This version is damaged and cannot be restored.</translation>
        </message>
        <message>
            <source>此稿件还没有历史版本。</source>
            <translation>This version is damaged and cannot be restored.</translation>
        </message>
        <message>
            <source>新增</source>
            <translation>Added</translation>
        </message>
        <message>
            <source>删去</source>
            <translation>Deleted</translation>
        </message>
        <message>
            <source>此版本与当前文本相同。</source>
            <translation>This version is the same as the current text.</translation>
        </message>
        <message>
            <source>自此版本以来，当前文本新增 %1 字，删去 %2 字，共 %3 处：</source>
            <translation>Since this version, the current text has gained %1 characters and lost %2, in %3 places:</translation>
        </message>
    </context>
    <context>
        <name>TfrmImport</name>
        <message>
            <source>导入</source>
            <translation>Import</translation>
        </message>
        <message>
            <source>选择稿件夹</source>
            <translation>Choose a folder</translation>
        </message>
        <message>
            <source>导入的文件</source>
            <translation>Files to import</translation>
        </message>
        <message>
            <source>稿件</source>
            <translation>Manuscript</translation>
        </message>
        <message>
            <source>位置</source>
            <translation>Location</translation>
        </message>
        <message>
            <source>添加</source>
            <translation>Add</translation>
        </message>
        <message>
            <source>添加稿件</source>
            <translation>Add manuscripts</translation>
        </message>
        <message>
            <source>删除</source>
            <translation>Delete</translation>
        </message>
        <message>
            <source>删除稿件</source>
            <translation>Delete Manuscript</translation>
        </message>
        <message>
            <source>清空</source>
            <translation>Clear</translation>
        </message>
        <message>
            <source>导入(&amp;I)</source>
            <translation>&amp;Import</translation>
        </message>
        <message>
            <source>关闭(&amp;C)</source>
            <translation>&amp;Close</translation>
        </message>
        <message>
            <source>文本文件(*.txt)|*.txt</source>
            <translation>Text files(*.txt)|*.txt</translation>
        </message>
        <message>
            <source>以下文件不存在或无法读取，没有加入列表：
</source>
            <translation>These files do not exist or cannot be read and were not added:
</translation>
        </message>
        <message>
            <source>"%1" 不存在</source>
            <translation>"%1" does not exist</translation>
        </message>
        <message>
            <source>"%1" 不是普通文件</source>
            <translation>"%1" is not a regular file</translation>
        </message>
        <message>
            <source>"%1" 不是文本文件</source>
            <translation>"%1" is not a text file</translation>
        </message>
        <message>
            <source>无法读取文件 "%1"：%2</source>
            <translation>Cannot read the file "%1": %2</translation>
        </message>
        <message>
            <source>已经完成稿件的导入！</source>
            <translation>The manuscripts have been imported!</translation>
        </message>
        <message>
            <source>已经完成资料的导入！</source>
            <translation>The materials have been imported!</translation>
        </message>
        <message>
            <source>导入已取消：没有导入任何文件。</source>
            <translation>Import cancelled: no file was imported.</translation>
        </message>
        <message>
            <source>没有导入任何文件。</source>
            <translation>No file was imported.</translation>
        </message>
        <message>
            <source>%1 个文件无法导入：</source>
            <translation>%1 files could not be imported:</translation>
        </message>
    </context>
    <context>
        <name>TfrmLibraryFind</name>
        <message>
            <source>在稿件库中查找</source>
            <translation>Find in Library</translation>
        </message>
        <message>
            <source>进度</source>
            <translation>Progress</translation>
        </message>
        <message>
            <source>取消</source>
            <translation>Cancel</translation>
        </message>
        <message>
            <source>查找内容</source>
            <translation>Find what</translation>
        </message>
        <message>
            <source>替换为</source>
            <translation>Replace with</translation>
        </message>
        <message>
            <source>区分大小写</source>
            <translation>Match case</translation>
        </message>
        <message>
            <source>正则表达式</source>
            <translation>Regular expression</translation>
        </message>
        <message>
            <source>仅当前稿件夹</source>
            <translation>Current folder only</translation>
        </message>
        <message>
            <source>查找全部</source>
            <translation>Find All</translation>
        </message>
        <message>
            <source>全部替换</source>
            <translation>Replace All</translation>
        </message>
        <message>
            <source>撤销替换</source>
            <translation>Undo Replace</translation>
        </message>
        <message>
            <source>关闭</source>
            <translation>Close</translation>
        </message>
        <message>
            <source>查找结果列表</source>
            <translation>List of matches</translation>
        </message>
        <message>
            <source>稿件</source>
            <translation>Manuscript</translation>
        </message>
        <message>
            <source>行</source>
            <translation>Line</translation>
        </message>
        <message>
            <source>内容</source>
            <translation>Content</translation>
        </message>
    </context>
    <context>
        <name>TfrmMail</name>
        <message>
            <source>发送邮件</source>
            <translation>Send Mail</translation>
        </message>
        <message>
            <source>单击附件可将其移除</source>
            <translation>Click an attachment to remove it</translation>
        </message>
        <message>
            <source>收件人：</source>
            <translation>To:</translation>
        </message>
        <message>
            <source>主题：</source>
            <translation>Subject:</translation>
        </message>
        <message>
            <source>附件：</source>
            <translation>Attachments:</translation>
        </message>
        <message>
            <source>内容：</source>
            <translation>Message:</translation>
        </message>
        <message>
            <source>发送邮件(&amp;S)</source>
            <translation>&amp;Send Mail</translation>
        </message>
        <message>
            <source>添加附件(&amp;A)</source>
            <translation>&amp;Add Attachment</translation>
        </message>
        <message>
            <source>取消</source>
            <translation>Cancel</translation>
        </message>
        <message>
            <source>关闭(&amp;C)</source>
            <translation>&amp;Close</translation>
        </message>
        <message>
            <source>添加附件</source>
            <translation>Add Attachment</translation>
        </message>
        <message>
            <source>所有文件 (*.*)|*</source>
            <translation>All files (*.*)|*</translation>
        </message>
        <message>
            <source>请先在“选项”配置发送邮件选项！</source>
            <translation>Please set up sending mail in “Options” first!</translation>
        </message>
        <message>
            <source>请填写收件人地址和邮件主题！</source>
            <translation>Please fill in the recipient's address and the subject!</translation>
        </message>
        <message>
            <source>邮件已发送。</source>
            <translation>The mail has been sent.</translation>
        </message>
        <message>
            <source>邮件没有发出。</source>
            <translation>The mail was not sent.</translation>
        </message>
        <message>
            <source>无法连接！</source>
            <translation>Cannot connect!</translation>
        </message>
        <message>
            <source>邮件没有发出，服务器拒绝了请求：
</source>
            <translation>The mail was not sent; the server refused the request:
</translation>
        </message>
        <message>
            <source>邮件没有发出：
</source>
            <translation>The mail was not sent:
</translation>
        </message>
        <message>
            <source>SMTP服务器要求身份验证。用户：%1</source>
            <translation>The SMTP server requires authentication. User: %1</translation>
        </message>
        <message>
            <source>密码：</source>
            <translation>Password:</translation>
        </message>
        <message>
            <source>确定</source>
            <translation>OK</translation>
        </message>
        <message>
            <source>正在发送…</source>
            <translation>Sending…</translation>
        </message>
    </context>
    <context>
        <name>TfrmMain</name>
        <message>
            <source>打开</source>
            <translation>Open</translation>
        </message>
        <message>
            <source>更换皮肤</source>
            <translation>Change Skin</translation>
        </message>
        <message>
            <source>皮肤文件(*.sui)|*.sui</source>
            <translation>Skin files(*.sui)|*.sui</translation>
        </message>
        <message>
            <source>稿件(&amp;F)</source>
            <translation>&amp;Manuscript</translation>
        </message>
        <message>
            <source>新建(&amp;N)</source>
            <translation>&amp;New</translation>
        </message>
        <message>
            <source>打开(&amp;O)</source>
            <translation>&amp;Open</translation>
        </message>
        <message>
            <source>保存(&amp;S)</source>
            <translation>&amp;Save</translation>
        </message>
        <message>
            <source>另存为...</source>
            <translation>Save As...</translation>
        </message>
        <message>
            <source>删除(&amp;D)</source>
            <translation>&amp;Delete</translation>
        </message>
        <message>
            <source>重命名(&amp;R)</source>
            <translation>&amp;Rename</translation>
        </message>
        <message>
            <source>属性(&amp;A)</source>
            <translation>Proper&amp;ties</translation>
        </message>
        <message>
            <source>历史版本…</source>
            <translation>Earlier Versions…</translation>
        </message>
        <message>
            <source>打印设置</source>
            <translation>Print Setup</translation>
        </message>
        <message>
            <source>打印稿件(&amp;P)</source>
            <translation>&amp;Print Manuscript</translation>
        </message>
        <message>
            <source>发送邮件(&amp;M)</source>
            <translation>Send &amp;Mail</translation>
        </message>
        <message>
            <source>退出(&amp;X)</source>
            <translation>E&amp;xit</translation>
        </message>
        <message>
            <source>编辑(&amp;E)</source>
            <translation>&amp;Edit</translation>
        </message>
        <message>
            <source>撤销(&amp;U)</source>
            <translation>&amp;Undo</translation>
        </message>
        <message>
            <source>重复(&amp;R)</source>
            <translation>&amp;Redo</translation>
        </message>
        <message>
            <source>剪切(&amp;X)</source>
            <translation>Cu&amp;t</translation>
        </message>
        <message>
            <source>复制(&amp;C)</source>
            <translation>&amp;Copy</translation>
        </message>
        <message>
            <source>全文复制</source>
            <translation>Copy All Text</translation>
        </message>
        <message>
            <source>粘贴(&amp;P)</source>
            <translation>&amp;Paste</translation>
        </message>
        <message>
            <source>快捷删除</source>
            <translation>Quick Delete</translation>
        </message>
        <message>
            <source>删除当前行(&amp;L)</source>
            <translation>Delete Current &amp;Line</translation>
        </message>
        <message>
            <source>从开头到当前位置</source>
            <translation>From the Start to the Cursor</translation>
        </message>
        <message>
            <source>从末尾到当前位置</source>
            <translation>From the End to the Cursor</translation>
        </message>
        <message>
            <source>全部选取(&amp;A)</source>
            <translation>Select &amp;All</translation>
        </message>
        <message>
            <source>快捷选取</source>
            <translation>Quick Select</translation>
        </message>
        <message>
            <source>监视剪贴板</source>
            <translation>Watch Clipboard</translation>
        </message>
        <message>
            <source>设置字体(&amp;F)</source>
            <translation>Set &amp;Font</translation>
        </message>
        <message>
            <source>背景颜色(&amp;B)</source>
            <translation>&amp;Background Colour</translation>
        </message>
        <message>
            <source>自动换行(&amp;W)</source>
            <translation>&amp;Word Wrap</translation>
        </message>
        <message>
            <source>查找(&amp;S)</source>
            <translation>&amp;Find</translation>
        </message>
        <message>
            <source>查找(&amp;F)</source>
            <translation>&amp;Find...</translation>
        </message>
        <message>
            <source>查找下一个</source>
            <translation>Find Next</translation>
        </message>
        <message>
            <source>替换...</source>
            <translation>Replace...</translation>
        </message>
        <message>
            <source>在文件中查找</source>
            <translation>Find in Files</translation>
        </message>
        <message>
            <source>在稿件库中查找</source>
            <translation>Find in Library</translation>
        </message>
        <message>
            <source>插入(&amp;I)</source>
            <translation>&amp;Insert</translation>
        </message>
        <message>
            <source>时间(&amp;T)</source>
            <translation>&amp;Time</translation>
        </message>
        <message>
            <source>日期(&amp;D)</source>
            <translation>&amp;Date</translation>
        </message>
        <message>
            <source>标签(&amp;S)</source>
            <translation>&amp;Marks</translation>
        </message>
        <message>
            <source>添加(&amp;A)</source>
            <translation>&amp;Add</translation>
        </message>
        <message>
            <source>资料库(&amp;C)</source>
            <translation>&amp;Materials</translation>
        </message>
        <message>
            <source>新建资料夹</source>
            <translation>New Materials Folder</translation>
        </message>
        <message>
            <source>删除资料夹</source>
            <translation>Delete Materials Folder</translation>
        </message>
        <message>
            <source>重命名资料夹</source>
            <translation>Rename Materials Folder</translation>
        </message>
        <message>
            <source>导入...</source>
            <translation>Import...</translation>
        </message>
        <message>
            <source>导出...</source>
            <translation>Export...</translation>
        </message>
        <message>
            <source>新建资料</source>
            <translation>New Material</translation>
        </message>
        <message>
            <source>保存资料</source>
            <translation>Save Material</translation>
        </message>
        <message>
            <source>重命名资料</source>
            <translation>Rename Material</translation>
        </message>
        <message>
            <source>删除资料</source>
            <translation>Delete Material</translation>
        </message>
        <message>
            <source>插入资料</source>
            <translation>Insert Material</translation>
        </message>
        <message>
            <source>外部文件(&amp;F)</source>
            <translation>External &amp;File</translation>
        </message>
        <message>
            <source>图片(&amp;P)</source>
            <translation>&amp;Picture</translation>
        </message>
        <message>
            <source>文档(&amp;D)</source>
            <translation>&amp;Document</translation>
        </message>
        <message>
            <source>稿件库(&amp;D)</source>
            <translation>&amp;Library</translation>
        </message>
        <message>
            <source>新建稿件库</source>
            <translation>New Library</translation>
        </message>
        <message>
            <source>打开稿件库</source>
            <translation>Open Library</translation>
        </message>
        <message>
            <source>关闭稿件库</source>
            <translation>Close Library</translation>
        </message>
        <message>
            <source>压缩稿件库</source>
            <translation>Compact Library</translation>
        </message>
        <message>
            <source>修复稿件库</source>
            <translation>Repair Library</translation>
        </message>
        <message>
            <source>从备份恢复…</source>
            <translation>Restore from Backup…</translation>
        </message>
        <message>
            <source>修改密码</source>
            <translation>Change Password</translation>
        </message>
        <message>
            <source>创建快捷方式</source>
            <translation>Create Shortcut</translation>
        </message>
        <message>
            <source>属性</source>
            <translation>Properties</translation>
        </message>
        <message>
            <source>导入(&amp;I)...</source>
            <translation>&amp;Import...</translation>
        </message>
        <message>
            <source>导出(&amp;E)...</source>
            <translation>&amp;Export...</translation>
        </message>
        <message>
            <source>输出书稿…</source>
            <translation>Book Output…</translation>
        </message>
        <message>
            <source>稿件库中心</source>
            <translation>Library Centre</translation>
        </message>
        <message>
            <source>新建稿件夹(&amp;F)</source>
            <translation>New &amp;Folder</translation>
        </message>
        <message>
            <source>删除稿件夹(&amp;E)</source>
            <translation>D&amp;elete Folder</translation>
        </message>
        <message>
            <source>重命名稿件夹(&amp;R)</source>
            <translation>&amp;Rename Folder</translation>
        </message>
        <message>
            <source>工具(&amp;T)</source>
            <translation>&amp;Tools</translation>
        </message>
        <message>
            <source>字数统计(&amp;C)</source>
            <translation>Word &amp;Count</translation>
        </message>
        <message>
            <source>写作统计(&amp;W)</source>
            <translation>&amp;Writing Statistics</translation>
        </message>
        <message>
            <source>反查拼音(&amp;P)</source>
            <translation>&amp;Pinyin Lookup</translation>
        </message>
        <message>
            <source>阅读模式(&amp;R)</source>
            <translation>&amp;Reading Mode</translation>
        </message>
        <message>
            <source>快速隐藏(&amp;H)</source>
            <translation>Quick &amp;Hide</translation>
        </message>
        <message>
            <source>更换皮肤(&amp;S)</source>
            <translation>Change &amp;Skin</translation>
        </message>
        <message>
            <source>选择文件(&amp;F)...</source>
            <translation>Choose &amp;File...</translation>
        </message>
        <message>
            <source>首选项(&amp;O)</source>
            <translation>&amp;Options...</translation>
        </message>
        <message>
            <source>帮助(&amp;H)</source>
            <translation>&amp;Help</translation>
        </message>
        <message>
            <source>帮助主题(&amp;T)</source>
            <translation>Help &amp;Topics</translation>
        </message>
        <message>
            <source>软件主页(&amp;H)</source>
            <translation>&amp;Home Page</translation>
        </message>
        <message>
            <source>错误报告(&amp;W)</source>
            <translation>&amp;Report an Error</translation>
        </message>
        <message>
            <source>给我留言(&amp;B)</source>
            <translation>Leave a &amp;Message</translation>
        </message>
        <message>
            <source>关于(&amp;A)</source>
            <translation>&amp;About</translation>
        </message>
        <message>
            <source>剪切(&amp;T)</source>
            <translation>Cu&amp;t</translation>
        </message>
        <message>
            <source>删除当前行</source>
            <translation>Delete Current Line</translation>
        </message>
        <message>
            <source>全部选取</source>
            <translation>Select All</translation>
        </message>
        <message>
            <source>设置目标…</source>
            <translation>Set Goal…</translation>
        </message>
        <message>
            <source>稿件库</source>
            <translation>Library</translation>
        </message>
        <message>
            <source>资料库</source>
            <translation>Materials</translation>
        </message>
        <message>
            <source>图片</source>
            <translation>Picture</translation>
        </message>
        <message>
            <source>标签</source>
            <translation>Marks</translation>
        </message>
        <message>
            <source>工具面板</source>
            <translation>Tool panel</translation>
        </message>
        <message>
            <source>新建稿件夹</source>
            <translation>New Folder</translation>
        </message>
        <message>
            <source>删除稿件夹</source>
            <translation>Delete Folder</translation>
        </message>
        <message>
            <source>重命名稿件夹</source>
            <translation>Rename Folder</translation>
        </message>
        <message>
            <source>名</source>
            <translation>N</translation>
        </message>
        <message>
            <source>编辑稿件</source>
            <translation>Edit Manuscript</translation>
        </message>
        <message>
            <source>编</source>
            <translation>E</translation>
        </message>
        <message>
            <source>名称</source>
            <translation>Name</translation>
        </message>
        <message>
            <source>插图</source>
            <translation>Pictures</translation>
        </message>
        <message>
            <source>插</source>
            <translation>I</translation>
        </message>
        <message>
            <source>导入</source>
            <translation>Import</translation>
        </message>
        <message>
            <source>导出</source>
            <translation>Export</translation>
        </message>
        <message>
            <source>添加</source>
            <translation>Add</translation>
        </message>
        <message>
            <source>删除</source>
            <translation>Delete</translation>
        </message>
        <message>
            <source>重命名</source>
            <translation>Rename</translation>
        </message>
        <message>
            <source>位置</source>
            <translation>Location</translation>
        </message>
        <message>
            <source>插图预览</source>
            <translation>Picture Preview</translation>
        </message>
        <message>
            <source>编辑</source>
            <translation>Edit</translation>
        </message>
        <message>
            <source>所属稿件</source>
            <translation>Manuscript</translation>
        </message>
        <message>
            <source>稿件库中心：</source>
            <translation>Library Centre:</translation>
        </message>
        <message>
            <source>新建</source>
            <translation>New</translation>
        </message>
        <message>
            <source>保存</source>
            <translation>Save</translation>
        </message>
        <message>
            <source>打印</source>
            <translation>Print</translation>
        </message>
        <message>
            <source>发送邮件</source>
            <translation>Send Mail</translation>
        </message>
        <message>
            <source>撤销</source>
            <translation>Undo</translation>
        </message>
        <message>
            <source>重复</source>
            <translation>Redo</translation>
        </message>
        <message>
            <source>剪切</source>
            <translation>Cut</translation>
        </message>
        <message>
            <source>复制</source>
            <translation>Copy</translation>
        </message>
        <message>
            <source>粘贴</source>
            <translation>Paste</translation>
        </message>
        <message>
            <source>查找</source>
            <translation>Find</translation>
        </message>
        <message>
            <source>阅读模式</source>
            <translation>Reading Mode</translation>
        </message>
        <message>
            <source>快速隐藏</source>
            <translation>Quick Hide</translation>
        </message>
        <message>
            <source>软件主页</source>
            <translation>Home Page</translation>
        </message>
        <message>
            <source>帮助主题</source>
            <translation>Help Topics</translation>
        </message>
        <message>
            <source>字体</source>
            <translation>Font</translation>
        </message>
        <message>
            <source>字号</source>
            <translation>Font size</translation>
        </message>
        <message>
            <source>稿件内容</source>
            <translation>Manuscript text</translation>
        </message>
        <message>
            <source>稿件库：%1</source>
            <translation>Library: %1</translation>
        </message>
        <message>
            <source>状态：新建</source>
            <translation>Status: new</translation>
        </message>
        <message>
            <source>新建稿件</source>
            <translation>New Manuscript</translation>
        </message>
        <message>
            <source>稿件：%1</source>
            <translation>Manuscript: %1</translation>
        </message>
        <message>
            <source>状态：已修改</source>
            <translation>Status: modified</translation>
        </message>
        <message>
            <source>改写</source>
            <translation>Overwrite</translation>
        </message>
        <message>
            <source>插入</source>
            <translation>Insert</translation>
        </message>
        <message>
            <source>大写</source>
            <translation>Caps</translation>
        </message>
        <message>
            <source>小写</source>
            <translation>Lower</translation>
        </message>
        <message>
            <source>小键盘(开启)</source>
            <translation>Num pad (on)</translation>
        </message>
        <message>
            <source>小键盘(关闭)</source>
            <translation>Num pad (off)</translation>
        </message>
        <message>
            <source>全屏写作(&amp;G)</source>
            <translation>&amp;Full-Screen Writing</translation>
        </message>
        <message>
            <source>整理段首缩进(&amp;I)</source>
            <translation>Tidy Paragraph &amp;Indents</translation>
        </message>
        <message>
            <source>全屏写作</source>
            <translation>Full-Screen Writing</translation>
        </message>
        <message>
            <source>退出全屏写作</source>
            <translation>Leave Full-Screen Writing</translation>
        </message>
    </context>
    <context>
        <name>TfrmMarks</name>
        <message>
            <source>标签</source>
            <translation>Marks</translation>
        </message>
        <message>
            <source>名称：</source>
            <translation>Name:</translation>
        </message>
        <message>
            <source>所属：</source>
            <translation>Belongs to:</translation>
        </message>
        <message>
            <source>位置：</source>
            <translation>Location:</translation>
        </message>
        <message>
            <source>%1 行</source>
            <translation>Line %1</translation>
        </message>
        <message>
            <source>内容</source>
            <translation>Content</translation>
        </message>
        <message>
            <source>确定</source>
            <translation>OK</translation>
        </message>
        <message>
            <source>取消</source>
            <translation>Cancel</translation>
        </message>
        <message>
            <source>标签名称不能为空！</source>
            <translation>The mark's name cannot be empty!</translation>
        </message>
    </context>
    <context>
        <name>TfrmOption</name>
        <message>
            <source>跟随系统</source>
            <translation>Follow the system</translation>
        </message>
        <message>
            <source>界面语言（下次启动时生效）：</source>
            <translation>Interface language (takes effect at the next start):</translation>
        </message>
        <message>
            <source>界面语言</source>
            <translation>Interface language</translation>
        </message>
        <message>
            <source>选项</source>
            <translation>Options</translation>
        </message>
        <message>
            <source>稿件库</source>
            <translation>Library</translation>
        </message>
        <message>
            <source>编辑器</source>
            <translation>Editor</translation>
        </message>
        <message>
            <source>邮件设置</source>
            <translation>Mail</translation>
        </message>
        <message>
            <source>路径</source>
            <translation>Paths</translation>
        </message>
        <message>
            <source>备份</source>
            <translation>Backup</translation>
        </message>
        <message>
            <source>确定</source>
            <translation>OK</translation>
        </message>
        <message>
            <source>取消</source>
            <translation>Cancel</translation>
        </message>
        <message>
            <source>退出时自动压缩</source>
            <translation>Compact on exit</translation>
        </message>
        <message>
            <source>自动打开上次的稿件库</source>
            <translation>Open the last library at start</translation>
        </message>
        <message>
            <source>关联稿件库文件(*.qdb)</source>
            <translation>Associate library files (*.qdb)</translation>
        </message>
        <message>
            <source>关联纯文本文件(*.txt)</source>
            <translation>Associate plain text files (*.txt)</translation>
        </message>
        <message>
            <source>加入到右键菜单</source>
            <translation>Add to the context menu</translation>
        </message>
        <message>
            <source>保留历史版本</source>
            <translation>Keep earlier versions</translation>
        </message>
        <message>
            <source>自动打开输入法</source>
            <translation>Switch on the input method automatically</translation>
        </message>
        <message>
            <source>开启自动保存</source>
            <translation>Save automatically</translation>
        </message>
        <message>
            <source>选择颜色</source>
            <translation>Choose Colour</translation>
        </message>
        <message>
            <source>设置输入法名称：</source>
            <translation>Input method:</translation>
        </message>
        <message>
            <source>设置保存时间间隔：</source>
            <translation>Auto-save interval:</translation>
        </message>
        <message>
            <source>编辑器默认字体：</source>
            <translation>Default editor font:</translation>
        </message>
        <message>
            <source>编辑器默认字号：</source>
            <translation>Default editor font size:</translation>
        </message>
        <message>
            <source>编辑器默认颜色：</source>
            <translation>Default editor colour:</translation>
        </message>
        <message>
            <source>发件地址：</source>
            <translation>Sender address:</translation>
        </message>
        <message>
            <source>发件人：</source>
            <translation>Sender name:</translation>
        </message>
        <message>
            <source>SMTP服务器：</source>
            <translation>SMTP server:</translation>
        </message>
        <message>
            <source>SMTP端口：</source>
            <translation>SMTP port:</translation>
        </message>
        <message>
            <source>验证用户名：</source>
            <translation>User name:</translation>
        </message>
        <message>
            <source>如果SMTP服务器需要身份验证，请填写用户名</source>
            <translation>Fill in the user name if the SMTP server requires authentication</translation>
        </message>
        <message>
            <source>请选择一个文件夹</source>
            <translation>Please choose a folder</translation>
        </message>
        <message>
            <source>导出稿件：</source>
            <translation>Export manuscripts to:</translation>
        </message>
        <message>
            <source>导出资料：</source>
            <translation>Export materials to:</translation>
        </message>
        <message>
            <source>插入图片：</source>
            <translation>Insert pictures from:</translation>
        </message>
        <message>
            <source>皮肤文件：</source>
            <translation>Skin file:</translation>
        </message>
        <message>
            <source>自动备份稿件库</source>
            <translation>Back up the library automatically</translation>
        </message>
        <message>
            <source> 分钟</source>
            <translation> minutes</translation>
        </message>
        <message>
            <source>编辑时每隔：</source>
            <translation>While editing, every:</translation>
        </message>
        <message>
            <source>备份文件夹：</source>
            <translation>Backup folder:</translation>
        </message>
        <message>
            <source>保留最近的备份数：</source>
            <translation>Number of recent backups to keep:</translation>
        </message>
        <message>
            <source>另外保留最近几天每天一份：</source>
            <translation>Also keep one a day for the last days:</translation>
        </message>
        <message>
            <source> 字</source>
            <translation> characters</translation>
        </message>
        <message>
            <source>关闭</source>
            <translation>Close</translation>
        </message>
        <message>
            <source>仅全屏写作</source>
            <translation>In full screen only</translation>
        </message>
        <message>
            <source>始终</source>
            <translation>Always</translation>
        </message>
        <message>
            <source>段首缩进两字</source>
            <translation>Indent paragraphs by two characters</translation>
        </message>
        <message>
            <source>全屏写作栏宽：</source>
            <translation>Full-screen column width:</translation>
        </message>
        <message>
            <source>打字机滚动：</source>
            <translation>Typewriter scrolling:</translation>
        </message>
        <message>
            <source>聚焦当前段落：</source>
            <translation>Focus on the current paragraph:</translation>
        </message>
        <message>
            <source>全屏写作栏宽</source>
            <translation>Full-screen column width</translation>
        </message>
        <message>
            <source>打字机滚动</source>
            <translation>Typewriter scrolling</translation>
        </message>
        <message>
            <source>聚焦当前段落</source>
            <translation>Focus on the current paragraph</translation>
        </message>
    </context>
    <context>
        <name>TfrmReader</name>
        <message>
            <source>阅读模式</source>
            <translation>Reading Mode</translation>
        </message>
        <message>
            <source>打开文件</source>
            <translation>Open File</translation>
        </message>
        <message>
            <source>开始</source>
            <translation>Start</translation>
        </message>
        <message>
            <source>滚动方向：</source>
            <translation>Scroll direction:</translation>
        </message>
        <message>
            <source>向上</source>
            <translation>Up</translation>
        </message>
        <message>
            <source>向下</source>
            <translation>Down</translation>
        </message>
        <message>
            <source>滚动速度：</source>
            <translation>Scroll speed:</translation>
        </message>
        <message>
            <source>设置字体</source>
            <translation>Set Font</translation>
        </message>
        <message>
            <source>关闭</source>
            <translation>Close</translation>
        </message>
        <message>
            <source>文件名称：%1</source>
            <translation>File name: %1</translation>
        </message>
        <message>
            <source>滚动速度:%1</source>
            <translation>Scroll speed: %1</translation>
        </message>
        <message>
            <source>文本文件(*.txt)|*.txt</source>
            <translation>Text files(*.txt)|*.txt</translation>
        </message>
        <message>
            <source>已完成对文档的阅读！</source>
            <translation>The document has been read to the end!</translation>
        </message>
    </context>
    <context>
        <name>TfrmReplace</name>
        <message>
            <source>替换</source>
            <translation>Replace</translation>
        </message>
        <message>
            <source>全字匹配(&amp;W)</source>
            <translation>Match &amp;whole word</translation>
        </message>
        <message>
            <source>区分大小写(&amp;C)</source>
            <translation>Match &amp;case</translation>
        </message>
        <message>
            <source>查找下一个(&amp;F)</source>
            <translation>&amp;Find Next</translation>
        </message>
        <message>
            <source>替换(&amp;R)</source>
            <translation>&amp;Replace</translation>
        </message>
        <message>
            <source>全部替换(&amp;A)</source>
            <translation>Replace &amp;All</translation>
        </message>
        <message>
            <source>取消</source>
            <translation>Cancel</translation>
        </message>
        <message>
            <source>查找内容(&amp;N)：</source>
            <translation>Fi&amp;nd what:</translation>
        </message>
        <message>
            <source>替换为(&amp;P)：</source>
            <translation>Re&amp;place with:</translation>
        </message>
    </context>
    <context>
        <name>TfrmRestore</name>
        <message>
            <source>已损坏</source>
            <translation>Damaged</translation>
        </message>
        <message>
            <source>已加密</source>
            <translation>Encrypted</translation>
        </message>
        <message>
            <source>恢复前的备份</source>
            <translation>Backup before restoring</translation>
        </message>
        <message>
            <source>从备份恢复</source>
            <translation>Restore from Backup</translation>
        </message>
        <message>
            <source>选择要恢复的备份（当前的稿件库会先备份）：</source>
            <translation>Choose the backup to restore (the current library is backed up first):</translation>
        </message>
        <message>
            <source>备份列表</source>
            <translation>List of backups</translation>
        </message>
        <message>
            <source>时间</source>
            <translation>Time</translation>
        </message>
        <message>
            <source>大小</source>
            <translation>Size</translation>
        </message>
        <message>
            <source>稿件夹</source>
            <translation>Folder</translation>
        </message>
        <message>
            <source>稿件</source>
            <translation>Manuscript</translation>
        </message>
        <message>
            <source>状态</source>
            <translation>Status</translation>
        </message>
        <message>
            <source>恢复</source>
            <translation>Restore</translation>
        </message>
        <message>
            <source>取消</source>
            <translation>Cancel</translation>
        </message>
        <message>
            <source>%1 字节</source>
            <translation>%1 bytes</translation>
        </message>
    </context>
    <context>
        <name>TfrmSearcher</name>
        <message>
            <source>暂停(&amp;P)</source>
            <translation>&amp;Pause</translation>
        </message>
        <message>
            <source>继续(&amp;R)</source>
            <translation>&amp;Resume</translation>
        </message>
        <message>
            <source>查找文件</source>
            <translation>Find Files</translation>
        </message>
        <message>
            <source>查找内容：</source>
            <translation>Find what:</translation>
        </message>
        <message>
            <source>查找路径：</source>
            <translation>Look in:</translation>
        </message>
        <message>
            <source>浏览文件夹</source>
            <translation>Browse for a folder</translation>
        </message>
        <message>
            <source>包括子文件夹</source>
            <translation>Include subfolders</translation>
        </message>
        <message>
            <source>不区分大小写</source>
            <translation>Ignore case</translation>
        </message>
        <message>
            <source>查找结果</source>
            <translation>Results</translation>
        </message>
        <message>
            <source>查找进度：</source>
            <translation>Progress:</translation>
        </message>
        <message>
            <source>搜索(&amp;S)</source>
            <translation>&amp;Search</translation>
        </message>
        <message>
            <source>退出(&amp;X)</source>
            <translation>E&amp;xit</translation>
        </message>
        <message>
            <source>请选择一个文件夹</source>
            <translation>Please choose a folder</translation>
        </message>
    </context>
    <context>
        <name>TfrmSplash</name>
        <message>
            <source>稿件管理  ·  版本 1.3</source>
            <translation>Manuscript management  ·  Version 1.3</translation>
        </message>
        <message>
            <source>正在启动……</source>
            <translation>Starting……</translation>
        </message>
    </context>
    <context>
        <name>TfrmWritingStats</name>
        <message>
            <source>写作统计</source>
            <translation>Writing Statistics</translation>
        </message>
        <message>
            <source>今日进度</source>
            <translation>Today's progress</translation>
        </message>
        <message>
            <source>最近%1天</source>
            <translation>Last %1 days</translation>
        </message>
        <message>
            <source>范围(&amp;R)：</source>
            <translation>&amp;Range:</translation>
        </message>
        <message>
            <source>范围</source>
            <translation>Range</translation>
        </message>
        <message>
            <source>每日统计</source>
            <translation>Daily statistics</translation>
        </message>
        <message>
            <source>日期</source>
            <translation>Date</translation>
        </message>
        <message>
            <source>汉字</source>
            <translation>Characters</translation>
        </message>
        <message>
            <source>英文单词</source>
            <translation>English words</translation>
        </message>
        <message>
            <source>时长</source>
            <translation>Time spent</translation>
        </message>
        <message>
            <source>目标</source>
            <translation>Goal</translation>
        </message>
        <message>
            <source>导出CSV…</source>
            <translation>Export CSV…</translation>
        </message>
        <message>
            <source>关闭</source>
            <translation>Close</translation>
        </message>
        <message>
            <source>尚未设置目标。</source>
            <translation>No goals set yet.</translation>
        </message>
        <message>
            <source>今日：%1 字</source>
            <translation>Today: %1 characters</translation>
        </message>
        <message>
            <source>今日：%1 / %2 字</source>
            <translation>Today: %1 / %2 characters</translation>
        </message>
        <message>
            <source>已写 %1 / %2 字</source>
            <translation>%1 / %2 characters written</translation>
        </message>
        <message>
            <source>，已完成。</source>
            <translation>; done.</translation>
        </message>
        <message>
            <source>，还差 %1 字</source>
            <translation>; %1 characters to go</translation>
        </message>
        <message>
            <source>，已过截止日期 %1。</source>
            <translation>; the deadline %1 has passed.</translation>
        </message>
        <message>
            <source>，截止 %1，还有 %2 天，每天需写 %3 字。</source>
            <translation>; due %1, %2 days left, %3 characters a day.</translation>
        </message>
        <message>
            <source>，每天 %1 字。</source>
            <translation>; %1 characters a day.</translation>
        </message>
        <message>
            <source>，无截止日期。</source>
            <translation>; no deadline.</translation>
        </message>
    </context>
    <context>
        <name>TqlvEditor</name>
        <message>
            <source>没有安装默认打印机，无法打印。</source>
            <translation>No default printer is installed; cannot print.</translation>
        </message>
        <message>
            <source>已查找到文档末尾，从开头继续查找</source>
            <translation>Reached the end of the document; continuing from the start</translation>
        </message>
        <message>
            <source>已查找到文档开头，从末尾继续查找</source>
            <translation>Reached the start of the document; continuing from the end</translation>
        </message>
        <message>
            <source>全部替换：已替换 %1 处</source>
            <translation>Replace all: %1 replaced</translation>
        </message>
        <message>
            <source>已完成对文档的搜索，没有找到搜索项！</source>
            <translation>Finished searching the document; the search item was not found!</translation>
        </message>
        <message>
            <source>查找</source>
            <translation>Find</translation>
        </message>
        <message>
            <source>行：%1</source>
            <translation>Line: %1</translation>
        </message>
        <message>
            <source>列：%1</source>
            <translation>Col: %1</translation>
        </message>
        <message>
            <source>%1时%2分</source>
            <translation>%1 h %2 min</translation>
        </message>
        <message>
            <source>%1年%2月%3日</source>
            <translation>%2/%3/%1</translation>
        </message>
    </context>
</TS>
