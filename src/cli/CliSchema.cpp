#include "cli/CliSchema.h"

#include "tomedb/TomeDB.h"

using namespace tomedb;
using json = nlohmann::ordered_json;

namespace {

json IndexOptions(uint8_t options) {
    json list = json::array();
    if (options & tiPrimary)
        list.push_back("primary");
    if (options & tiUnique)
        list.push_back("unique");
    if (options & tiDescending)
        list.push_back("descending");
    if (options & tiCaseInsensitive)
        list.push_back("caseinsensitive");
    return list;
}

json FieldsOf(const TTableHeader& header, const TNameText& text) {
    json fields = json::array();
    for (int i = 0; i < header.FieldCount(); ++i)
        fields.push_back({{"name", text(header.FieldName(i))},
                          {"type", header.FieldType(i)},
                          {"size", header.FieldDataSize(i)},
                          {"dpmode", header.FieldDPMode(i)}});
    return fields;
}

json IndexesOf(const TTableHeader& header, const TNameText& text) {
    json indexes = json::array();
    for (int k = 0; k < header.IndexCount(); ++k) {
        json names = json::array();
        for (int j = 0; j < header.IndexFieldCount(k); ++j) {
            const int32_t field = header.IndexField(k, j);
            names.push_back(field >= 0 && field < header.FieldCount() ? json(text(header.FieldName(field)))
                                                                      : json(nullptr));
        }
        indexes.push_back({{"name", text(header.IndexName(k))},
                           {"options", IndexOptions(header.IndexOptions(k))},
                           {"fields", names}});
    }
    return indexes;
}

}  // namespace

json SchemaJson(TTomeDBFileIO& io, const TNameText& text) {
    json tables = json::array();
    for (int t = 0; t < io.TableCount(); ++t) {
        TTableHeader header;
        io.ReadTableHeader(t, header);
        tables.push_back({{"name", text(header.TableName())},
                          {"records", header.RecordTotal()},
                          {"auto_inc_counter", header.AutoIncCounter()},
                          {"fields", FieldsOf(header, text)},
                          {"indexes", IndexesOf(header, text)}});
    }
    return tables;
}
