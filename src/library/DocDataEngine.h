// TDocDataEngine: the open library's database and tables, for the library
// layer's own services that keep tables of their own in the same file
// (writing tables, saves, history, log, goals). Only src/library uses it;
// everyone else goes through TqlvDocData's operations. The handles belong to
// the TqlvDocData and are valid while it lives.
#pragma once

#include "library/TqlvDocData.h"

class TDocDataEngine {
public:
    static tomedb::TTomeDatabase& Database(TqlvDocData& data) { return data.TomeDB; }
    static tomedb::TTomeTable& Docs(TqlvDocData& data) { return data.Doctable; }
    static tomedb::TTomeTable& Folders(TqlvDocData& data) { return data.Flodertable; }
};
