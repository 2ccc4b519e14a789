// libpq, loaded the first time a shared database is named rather than when the program starts:
// the library and what it pulls in (TLS, Kerberos, LDAP) take a program tens of milliseconds to
// load, and most runs of marlinq and marlinq-cli never reach a database.
#pragma once

#include <libpq-fe.h>

#include <optional>
#include <string>

namespace records {

// The libpq functions the records use, under their names without the "PQ".
struct LibPq {
    decltype(&::PQconnectStartParams) connectStartParams;
    decltype(&::PQconnectPoll) connectPoll;
    decltype(&::PQstatus) status;
    decltype(&::PQerrorMessage) errorMessage;
    decltype(&::PQfinish) finish;
    decltype(&::PQsendQuery) sendQuery;
    decltype(&::PQsendQueryParams) sendQueryParams;
    decltype(&::PQisBusy) isBusy;
    decltype(&::PQsocket) socket;
    decltype(&::PQconsumeInput) consumeInput;
    decltype(&::PQgetResult) getResult;
    decltype(&::PQresultStatus) resultStatus;
    decltype(&::PQresultErrorMessage) resultErrorMessage;
    decltype(&::PQntuples) ntuples;
    decltype(&::PQgetvalue) getvalue;
    decltype(&::PQclear) clear;
    decltype(&::PQconninfoParse) conninfoParse;
    decltype(&::PQconninfoFree) conninfoFree;
    decltype(&::PQfreemem) freemem;
};

// The library's functions, loaded on the first call (from any thread; later calls return the same
// table); null when it cannot be loaded, with *error naming the library and why.
const LibPq* LoadLibPq(std::string* error);

// The functions of the library file name (as the system's loader searches for it), loaded anew;
// nullopt when it cannot be loaded or lacks one of them, with *error naming the file and why.
std::optional<LibPq> LoadLibPqFrom(const std::string& name, std::string* error);

}  // namespace records
