// Parses arbitrary text as a filter over a small table holding every field
// type, and evaluates it on every record. Errors the engine reports
// (EDatabaseError) are expected; anything else - a crash, a hang, a sanitizer
// report, another exception - is a finding.
//
// Input: the first byte chooses the options (bit 0 foCaseInsensitive, bit 1
// foNoPartialCompare, bit 2 a "," decimal separator); the rest is the text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "tomedb/TomeError.h"
#include "tomedb/filter/DateTimeText.h"
#include "tomedb/filter/FilterParser.h"
#include "tomedb/filter/MemoryRecordSource.h"

namespace {

using namespace tomedb;

struct TFuzzTable {
    TMemoryRecordSource source;

    TFuzzTable() {
        const int pid = source.AddField("PID", ftInteger);
        const int name = source.AddField("Name", ftString, 40);
        const int small = source.AddField("Small", ftSmallint);
        const int word = source.AddField("Cnt", ftWord);
        const int flag = source.AddField("Flag", ftBoolean);
        const int money = source.AddField("Money", ftFloat);
        const int price = source.AddField("Price", ftCurrency);
        const int date = source.AddField("D", ftDate);
        const int time = source.AddField("T", ftTime);
        const int stamp = source.AddField("S", ftDateTime);
        const int id = source.AddField("ID", ftAutoInc);
        const int blob = source.AddField("Txt", ftMemo);
        const int pic = source.AddField("Pic", ftBlob);
        const int code = source.AddField("Code", ftFixedChar, 4);
        const int big = source.AddField("Big", ftLargeint);
        const int wide = source.AddField("\xC3\xFB\xB3\xC6", ftString, 10);
        const char* names[] = {"abc", "ABC*", "", "\xD6\xD0\xCE\xC4", "It's"};
        const double floats[] = {0.0, -1.5, 1e308, -0.0, 3.25};
        for (int r = 0; r < 5; ++r) {
            const size_t rec = source.AddRecord();
            source.SetInteger(rec, pid, r * 1000003 - 2);
            source.SetText(rec, name, names[r]);
            source.SetInteger(rec, small, -32768 + r * 16000);
            source.SetInteger(rec, word, r * 16000);
            source.SetInteger(rec, flag, r & 1);
            source.SetFloat(rec, money, floats[r]);
            source.SetFloat(rec, price, -floats[r]);
            source.SetInteger(rec, date, r == 4 ? INT32_MIN : DayNumberFromCivil(1999 + r * 300, 2, 28));
            source.SetInteger(rec, time, r == 4 ? -1 : r * 21600000);
            source.SetFloat(rec, stamp, r == 4 ? -1e300 : 6.3e13 * r);
            source.SetInteger(rec, id, INT32_MAX - r);
            source.SetText(rec, blob, std::string(static_cast<size_t>(r) * 70, 'a' + r));
            source.SetText(rec, pic, std::string("\0\x01\xFF", 3));
            source.SetText(rec, code, names[r]);
            source.SetInteger(rec, big, INT64_MIN + r);
            source.SetText(rec, wide, names[4 - r]);
        }
        source.SetNull(2, name);
        source.SetNull(3, pid);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static TFuzzTable table;
    if (size == 0)
        return 0;
    const uint8_t mode = data[0];
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    TFilterParser parser(&table.source);
    TDateTimeLocale locale = parser.DateTimeLocale();
    locale.decimalSeparator = (mode & 4) ? ',' : '.';
    parser.SetDateTimeLocale(locale);
    const TFilterOptions options = (mode & 1 ? foCaseInsensitive : 0u) | (mode & 2 ? foNoPartialCompare : 0u);
    try {
        parser.Parse(text);
    } catch (const EDatabaseError&) {
        return 0;
    }
    for (size_t r = 0; r < table.source.RecordCount(); ++r) {
        table.source.SetCurrent(r);
        try {
            parser.Evaluate(options);
        } catch (const EDatabaseError&) {
        }
    }
    return 0;
}
