#pragma once

// The floor of the benchmark: MariaDB Connector/C used directly, with nothing
// between the program's statements and the wire. Each floor does what one
// operation of the program does, statement for statement.

#include <mysql.h>

#include <string>
#include <variant>
#include <vector>

namespace zelmar::bench {

struct RawServer
{
    std::string host = "127.0.0.1";
    unsigned port = 0;
    std::string user;
    std::string password;
    std::string database;
    std::string caFile; // TLS with this one CA file; empty: plain
};

// One connection, opened as the program opens its own: bounded waits, utf8mb4, found rows.
class RawConnection
{
public:
    explicit RawConnection(const RawServer& server);
    ~RawConnection();
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    bool ok() const { return m_ok; }
    MYSQL* handle() const { return m_mysql; }
    std::string cipher() const;
    bool query(const std::string& sql);

private:
    MYSQL* m_mysql = nullptr;
    bool m_ok = false;
};

using Param = std::variant<long long, double, std::string>;

// One prepared statement, executed as often as needed; every column of a row
// fetched typed (FLOAT as float, so that it arrives exactly).
class RawStatement
{
public:
    RawStatement(RawConnection& connection, const std::string& sql);
    ~RawStatement();
    RawStatement(const RawStatement&) = delete;
    RawStatement& operator=(const RawStatement&) = delete;

    bool ok() const { return m_ok; }
    bool execute(const std::vector<Param>& params = {});
    bool fetch();
    unsigned long long affected() const { return mysql_stmt_affected_rows(m_stmt); }

    int column(const char* name) const;
    bool isNull(int column) const { return m_nulls[size_t(column)] != 0; }
    std::string text(int column) const;
    double number(int column) const;
    // The row as parameters, for a save that finds it by every value.
    Param value(int column) const;
    int columns() const { return int(m_cells.size()); }
    std::string name(int column) const { return m_names[size_t(column)]; }

private:
    struct Cell
    {
        enum_field_types type;
        std::vector<char> buffer;
        unsigned long length = 0;
    };
    MYSQL_STMT* m_stmt = nullptr;
    bool m_ok = false;
    std::vector<Cell> m_cells;
    std::vector<my_bool> m_nulls;
    std::vector<std::string> m_names;
    std::vector<MYSQL_BIND> m_results;
    // Kept for the length of one execute: the server reads them then.
    std::vector<Param> m_params;
    std::vector<MYSQL_BIND> m_paramBinds;
    std::vector<unsigned long> m_paramLengths;
};

} // namespace zelmar::bench
