#include "records/postgres_url.h"

#include <map>
#include <memory>
#include <string>

#include "records/libpq_library.h"
#include "records/record_check.h"

namespace records {

namespace {

constexpr std::size_t kShownUrlBytes = 120;

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

bool IsPort(const std::string& text) {
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    const long port = std::stol(text);
    return port >= 1 && port <= 65535;
}

using Options = std::unique_ptr<PQconninfoOption, decltype(&PQconninfoFree)>;

// The parts libpq finds in url; empty with the reason in *error when it finds none (or libpq
// cannot be loaded).
std::map<std::string, std::string> Parts(const std::string& url, std::string* error) {
    std::map<std::string, std::string> parts;
    const LibPq* pq = LoadLibPq(error);
    if (pq == nullptr) {
        return parts;
    }
    char* why = nullptr;
    Options options(pq->conninfoParse(url.c_str(), &why), pq->conninfoFree);
    if (!options) {
        *error = why != nullptr ? why : "it cannot be read";
        pq->freemem(why);
        while (!error->empty() && (error->back() == '\n' || error->back() == ' ')) {
            error->pop_back();
        }
        return parts;
    }
    for (const PQconninfoOption* o = options.get(); o->keyword != nullptr; ++o) {
        if (o->val != nullptr) {
            parts[o->keyword] = o->val;
        }
    }
    return parts;
}

}  // namespace

std::string CheckPostgresUrl(const std::string& url) {
    if (url.size() > kUrlBytes) {
        return "the database URL is " + std::to_string(url.size()) + " bytes long, more than " +
               std::to_string(kUrlBytes);
    }
    for (const char c : url) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u == 0x7F) {
            return "the database URL '" + ShownPostgresUrl(url) + "' holds a blank or a control character";
        }
    }
    if (!StartsWith(url, "postgresql://") && !StartsWith(url, "postgres://")) {
        return "the database URL '" + ShownPostgresUrl(url) + "' does not start with postgresql://";
    }
    std::string why;
    const auto parts = Parts(url, &why);
    if (parts.empty()) {
        return "the database URL '" + ShownPostgresUrl(url) + "' cannot be read: " + why;
    }
    if (parts.count("host") == 0 && parts.count("hostaddr") == 0) {
        return "the database URL '" + ShownPostgresUrl(url) +
               "' names no host (postgresql://user@host:port/db)";
    }
    if (const auto port = parts.find("port"); port != parts.end() && !IsPort(port->second)) {
        return "the database URL '" + ShownPostgresUrl(url) + "' names no port from 1 to 65535";
    }
    if (parts.count("dbname") == 0) {
        return "the database URL '" + ShownPostgresUrl(url) +
               "' names no database (postgresql://user@host:port/db)";
    }
    return {};
}

std::string ShownPostgresUrl(const std::string& url) {
    std::string why;
    const auto parts = Parts(url, &why);
    if (parts.empty()) {
        // Not readable: at most the scheme and the host part, without what may be a password.
        const auto at = url.rfind('@');
        const auto scheme = url.find("://");
        if (at != std::string::npos && scheme != std::string::npos && at > scheme) {
            return Shown(url.substr(0, scheme + 3) + url.substr(at + 1), kShownUrlBytes);
        }
        return Shown(url, kShownUrlBytes);
    }
    auto part = [&](const char* key) {
        const auto it = parts.find(key);
        return it == parts.end() ? std::string() : it->second;
    };
    std::string shown = "postgresql://";
    if (!part("user").empty()) {
        shown += part("user") + "@";
    }
    shown += part("host").empty() ? part("hostaddr") : part("host");
    if (!part("port").empty()) {
        shown += ":" + part("port");
    }
    return Shown(shown + "/" + part("dbname"), kShownUrlBytes);
}

}  // namespace records
