// qdb count / pinyin: the editor's counting and the pinyin tool.
#include <QByteArray>
#include <QFile>
#include <iostream>

#include "cli/CliArgs.h"
#include "cli/CliCommands.h"
#include "cli/CliFields.h"
#include "editor/WordCount.h"
#include "library/RecordExchange.h"
#include "platform/TextCodec.h"
#include "tools/pinyin/PinyinCommand.h"

int RunCount(const CliWords& words) {
    const CliArgs args = CliArgs::Parse(words, {{}, {}, 1, 1});
    // Read as an import reads: a FIFO or device is refused, never waited on.
    QString text;
    TExchangeFailure failure;
    if (!TRecordExchange::ReadImportFile(QByteArray::fromStdString(args.At(0)), &text, &failure))
        throw CliError(ExchangeFailureText(failure));
    const TWordCount count = CountWordsIn(text);
    std::cout << JsonLine({{"english", count.English}, {"chinese", count.Chinese}}) << "\n";
    return 0;
}

int RunPinyin(const CliWords& words) {
    const TPinyinCommandResult result = RunPinyinCommand(words);
    std::cout << result.output;
    std::cerr << result.error;
    return result.exitCode;
}
