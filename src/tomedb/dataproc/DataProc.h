// Umbrella header of the engine's compression and encryption layer.
#pragma once

#include "tomedb/dataproc/CompAlgoZlib.h"
#include "tomedb/dataproc/Crc32.h"
#include "tomedb/dataproc/DataProcessAlgo.h"
#include "tomedb/dataproc/DataProcessMgr.h"
#include "tomedb/dataproc/EncAlgos.h"
#include "tomedb/dataproc/PasswordCheck.h"
#include "tomedb/dataproc/Registry.h"
#include "tomedb/dataproc/Sha.h"
