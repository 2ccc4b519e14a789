// The loader of libpq for systems with dlopen.
#include <dlfcn.h>

#include <string>

#include "records/libpq_library.h"

namespace records {

namespace {

// The library's ABI name, the one the Debian package libpq5 installs.
constexpr const char* kLibPqName = "libpq.so.5";

struct Loaded {
    LibPq functions{};
    std::string problem;  // empty once every function was found
};

template <class F>
bool Find(void* library, const char* name, F* function, std::string* problem) {
    *function = reinterpret_cast<F>(::dlsym(library, name));
    if (*function == nullptr && problem->empty()) {
        *problem = std::string(kLibPqName) + " has no " + name;
    }
    return *function != nullptr;
}

Loaded Load() {
    Loaded loaded;
    // Kept loaded until the program ends: a connection may live as long as the program.
    void* library = ::dlopen(kLibPqName, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* why = ::dlerror();
        loaded.problem = std::string("cannot load ") + kLibPqName +
                         " (the PostgreSQL client library, package libpq5)" +
                         (why != nullptr ? std::string(": ") + why : std::string());
        return loaded;
    }
    LibPq& f = loaded.functions;
    std::string& p = loaded.problem;
    Find(library, "PQconnectdbParams", &f.connectdbParams, &p);
    Find(library, "PQstatus", &f.status, &p);
    Find(library, "PQerrorMessage", &f.errorMessage, &p);
    Find(library, "PQfinish", &f.finish, &p);
    Find(library, "PQsendQuery", &f.sendQuery, &p);
    Find(library, "PQsendQueryParams", &f.sendQueryParams, &p);
    Find(library, "PQisBusy", &f.isBusy, &p);
    Find(library, "PQsocket", &f.socket, &p);
    Find(library, "PQconsumeInput", &f.consumeInput, &p);
    Find(library, "PQgetResult", &f.getResult, &p);
    Find(library, "PQresultStatus", &f.resultStatus, &p);
    Find(library, "PQresultErrorMessage", &f.resultErrorMessage, &p);
    Find(library, "PQntuples", &f.ntuples, &p);
    Find(library, "PQgetvalue", &f.getvalue, &p);
    Find(library, "PQclear", &f.clear, &p);
    Find(library, "PQconninfoParse", &f.conninfoParse, &p);
    Find(library, "PQconninfoFree", &f.conninfoFree, &p);
    Find(library, "PQfreemem", &f.freemem, &p);
    return loaded;
}

}  // namespace

const LibPq* LoadLibPq(std::string* error) {
    static const Loaded loaded = Load();  // once, whichever thread comes first
    if (!loaded.problem.empty()) {
        *error = loaded.problem;
        return nullptr;
    }
    return &loaded.functions;
}

}  // namespace records
