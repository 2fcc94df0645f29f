#include "tomedb/filter/FilterParser.h"

#include "tomedb/TomeError.h"

namespace tomedb {

void TFilterParser::BindField(TExprNode* node) {
    const int index = fSource ? fSource->FindField(node->name) : -1;
    if (index < 0)
        DatabaseError(FormatMessage("Field '%s' not found", node->name.c_str()));
    node->fieldIndex = index;
    node->dataType = fSource->GetFieldType(index);
    node->isBlob = IsBlobType(node->dataType);
    node->value.type = node->dataType;
}

void TFilterParser::ReadField(TExprNode* node) {
    const TFieldData data = fSource->GetFieldData(node->fieldIndex);
    TExprValue& v = node->value;
    v.isNull = data.isNull;
    if (data.isNull)
        return;
    const TCompareValue stored = DecodeStoredValue(node->dataType, data.data, data.size);
    v.intValue = stored.intValue;
    v.floatValue = stored.floatValue;
    if (IsStringType(node->dataType) || node->isBlob)
        v.text.assign(stored.text);
}

}  // namespace tomedb
