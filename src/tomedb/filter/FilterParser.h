// TFilterParser: filter expressions bound to the fields of one table.
//
// The table creates one with itself and hands it the record source that shows
// its active record (the filter buffer). Parse binds every field name through
// the source (ASCII letter case ignored; an unknown name raises "Field '%s'
// not found"); Evaluate reads the fields of the source's current record. The
// source must outlive the parser; SetRecordSource may swap it between Parse
// calls (the field indexes then have to mean the same fields).
#pragma once

#include "tomedb/filter/ExprParserBase.h"
#include "tomedb/filter/FilterTypes.h"

namespace tomedb {

class TFilterParser : public TExprParserBase {
public:
    explicit TFilterParser(TFilterRecordSource* source = nullptr) : fSource(source) {}

    void SetRecordSource(TFilterRecordSource* source) { fSource = source; }
    TFilterRecordSource* RecordSource() const { return fSource; }

protected:
    void BindField(TExprNode* node) override;
    void ReadField(TExprNode* node) override;

private:
    TFilterRecordSource* fSource;
};

}  // namespace tomedb
