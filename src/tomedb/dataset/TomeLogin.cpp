#include "tomedb/dataset/TomeLogin.h"

#include <atomic>

namespace tomedb {
namespace {
std::atomic<TTomeDBLogin*> g_login{nullptr};
}

void SetDBLogin(TTomeDBLogin* handler) { g_login.store(handler); }
TTomeDBLogin* DBLogin() { return g_login.load(); }

}  // namespace tomedb
