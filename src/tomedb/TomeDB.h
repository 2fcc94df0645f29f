// The engine's public header: what the application includes to use databases,
// sessions and tables. Everything lives in namespace tomedb.
//
//   TTomeDatabase  one database file (open, password, create tables/indexes,
//                  comment, extra data, Compact / Repair / ChangePassword)
//   TTomeSession   groups databases; Sessions() and DefaultSession() ("Default")
//   TTomeTable     record access: navigation, fields, editing, search, filters
//   TField         one field of an open table (AsString, AsInteger, ...)
//   TTomeDBLogin   the login callback the application installs (SetDBLogin)
//
// Errors are tomedb::EDatabaseError (TomeError.h) with English messages; a
// cancelled login raises tomedb::EAbort. Texts are GB18030 byte strings.
#pragma once

#include "tomedb/FieldTypes.h"
#include "tomedb/TomeError.h"
#include "tomedb/dataset/TomeDatabase.h"
#include "tomedb/dataset/TomeField.h"
#include "tomedb/dataset/TomeLogin.h"
#include "tomedb/dataset/TomeSession.h"
#include "tomedb/dataset/TomeTable.h"
#include "tomedb/dataset/TomeVariant.h"
