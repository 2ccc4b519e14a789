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
bool Find(void* library, const std::string& file, const char* name, F* function, std::string* problem) {
    *function = reinterpret_cast<F>(::dlsym(library, name));
    if (*function == nullptr && problem->empty()) {
        *problem = file + " has no " + name;
    }
    return *function != nullptr;
}

Loaded Load(const std::string& name) {
    Loaded loaded;
    // Kept loaded until the program ends: a connection may live as long as the program.
    void* library = ::dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* why = ::dlerror();
        loaded.problem = "cannot load " + name + " (the PostgreSQL client library, package libpq5)" +
                         (why != nullptr ? std::string(": ") + why : std::string());
        return loaded;
    }
    LibPq& f = loaded.functions;
    std::string& p = loaded.problem;
    Find(library, name, "PQconnectStartParams", &f.connectStartParams, &p);
    Find(library, name, "PQconnectPoll", &f.connectPoll, &p);
    Find(library, name, "PQstatus", &f.status, &p);
    Find(library, name, "PQerrorMessage", &f.errorMessage, &p);
    Find(library, name, "PQfinish", &f.finish, &p);
    Find(library, name, "PQsendQuery", &f.sendQuery, &p);
    Find(library, name, "PQsendQueryParams", &f.sendQueryParams, &p);
    Find(library, name, "PQisBusy", &f.isBusy, &p);
    Find(library, name, "PQsocket", &f.socket, &p);
    Find(library, name, "PQconsumeInput", &f.consumeInput, &p);
    Find(library, name, "PQgetResult", &f.getResult, &p);
    Find(library, name, "PQresultStatus", &f.resultStatus, &p);
    Find(library, name, "PQresultErrorMessage", &f.resultErrorMessage, &p);
    Find(library, name, "PQntuples", &f.ntuples, &p);
    Find(library, name, "PQgetvalue", &f.getvalue, &p);
    Find(library, name, "PQclear", &f.clear, &p);
    Find(library, name, "PQconninfoParse", &f.conninfoParse, &p);
    Find(library, name, "PQconninfoFree", &f.conninfoFree, &p);
    Find(library, name, "PQfreemem", &f.freemem, &p);
    return loaded;
}

}  // namespace

std::optional<LibPq> LoadLibPqFrom(const std::string& name, std::string* error) {
    Loaded loaded = Load(name);
    if (!loaded.problem.empty()) {
        *error = loaded.problem;
        return std::nullopt;
    }
    return loaded.functions;
}

const LibPq* LoadLibPq(std::string* error) {
    static const Loaded loaded = Load(kLibPqName);  // once, whichever thread comes first
    if (!loaded.problem.empty()) {
        *error = loaded.problem;
        return nullptr;
    }
    return &loaded.functions;
}

}  // namespace records
