// The address of the line's shared database: postgresql://user@host:port/database (the scheme
// "postgres://" too). Checked before any connection is tried.
#pragma once

#include <cstddef>
#include <string>

namespace records {

inline constexpr std::size_t kUrlBytes = 1024;

// Empty when url is such an address; otherwise what is wrong with it.
std::string CheckPostgresUrl(const std::string& url);

// url as messages show it: scheme, user, host, port and database, never a password.
std::string ShownPostgresUrl(const std::string& url);

}  // namespace records
