#include "RawClient.h"

#include <cstring>

namespace zelmar::bench {

RawConnection::RawConnection(const RawServer& server)
{
    m_mysql = mysql_init(nullptr);
    if (!m_mysql)
        return;
    unsigned timeout = 5;
    mysql_options(m_mysql, MYSQL_OPT_CONNECT_TIMEOUT, &timeout);
    mysql_options(m_mysql, MYSQL_OPT_READ_TIMEOUT, &timeout);
    mysql_options(m_mysql, MYSQL_OPT_WRITE_TIMEOUT, &timeout);
    mysql_options(m_mysql, MYSQL_SET_CHARSET_NAME, "utf8mb4");
    if (!server.caFile.empty()) {
        mysql_options(m_mysql, MYSQL_OPT_SSL_CA, server.caFile.c_str());
        my_bool enforce = 1;
        mysql_options(m_mysql, MYSQL_OPT_SSL_ENFORCE, &enforce);
    }
    m_ok = mysql_real_connect(m_mysql, server.host.c_str(), server.user.c_str(), server.password.c_str(),
                              server.database.empty() ? nullptr : server.database.c_str(), server.port,
                              nullptr, CLIENT_FOUND_ROWS) != nullptr;
}

RawConnection::~RawConnection()
{
    if (m_mysql)
        mysql_close(m_mysql);
}

std::string RawConnection::cipher() const
{
    const char* c = m_mysql ? mysql_get_ssl_cipher(m_mysql) : nullptr;
    return c ? c : "";
}

bool RawConnection::query(const std::string& sql)
{
    if (mysql_real_query(m_mysql, sql.data(), sql.size()) != 0)
        return false;
    if (MYSQL_RES* res = mysql_store_result(m_mysql))
        mysql_free_result(res);
    return true;
}

RawStatement::RawStatement(RawConnection& connection, const std::string& sql)
{
    m_stmt = mysql_stmt_init(connection.handle());
    if (!m_stmt || mysql_stmt_prepare(m_stmt, sql.data(), sql.size()) != 0)
        return;
    if (MYSQL_RES* meta = mysql_stmt_result_metadata(m_stmt)) {
        const unsigned n = mysql_num_fields(meta);
        MYSQL_FIELD* fields = mysql_fetch_fields(meta);
        m_cells.resize(n);
        m_nulls.assign(n, 0);
        m_results.assign(n, MYSQL_BIND{});
        for (unsigned i = 0; i < n; ++i) {
            Cell& cell = m_cells[i];
            m_names.emplace_back(fields[i].name);
            switch (fields[i].type) {
            case MYSQL_TYPE_FLOAT:
                cell.type = MYSQL_TYPE_FLOAT;
                cell.buffer.resize(sizeof(float));
                break;
            case MYSQL_TYPE_DOUBLE:
                cell.type = MYSQL_TYPE_DOUBLE;
                cell.buffer.resize(sizeof(double));
                break;
            case MYSQL_TYPE_TINY:
            case MYSQL_TYPE_SHORT:
            case MYSQL_TYPE_INT24:
            case MYSQL_TYPE_LONG:
            case MYSQL_TYPE_LONGLONG:
                cell.type = MYSQL_TYPE_LONGLONG;
                cell.buffer.resize(sizeof(long long));
                break;
            default:
                cell.type = MYSQL_TYPE_STRING;
                cell.buffer.resize(fields[i].length + 1);
                break;
            }
            MYSQL_BIND& b = m_results[i];
            b.buffer_type = cell.type;
            b.buffer = cell.buffer.data();
            b.buffer_length = cell.buffer.size();
            b.length = &cell.length;
            b.is_null = &m_nulls[i];
        }
        mysql_free_result(meta);
        if (mysql_stmt_bind_result(m_stmt, m_results.data()) != 0)
            return;
    }
    m_ok = true;
}

RawStatement::~RawStatement()
{
    if (m_stmt)
        mysql_stmt_close(m_stmt);
}

bool RawStatement::execute(const std::vector<Param>& params)
{
    m_params = params;
    m_paramBinds.assign(m_params.size(), MYSQL_BIND{});
    m_paramLengths.assign(m_params.size(), 0);
    for (size_t i = 0; i < m_params.size(); ++i) {
        MYSQL_BIND& b = m_paramBinds[i];
        if (auto* v = std::get_if<long long>(&m_params[i])) {
            b.buffer_type = MYSQL_TYPE_LONGLONG;
            b.buffer = v;
        } else if (auto* d = std::get_if<double>(&m_params[i])) {
            b.buffer_type = MYSQL_TYPE_DOUBLE;
            b.buffer = d;
        } else {
            auto& s = std::get<std::string>(m_params[i]);
            b.buffer_type = MYSQL_TYPE_STRING;
            b.buffer = s.data();
            b.buffer_length = s.size();
            m_paramLengths[i] = s.size();
            b.length = &m_paramLengths[i];
        }
    }
    if (!m_paramBinds.empty() && mysql_stmt_bind_param(m_stmt, m_paramBinds.data()) != 0)
        return false;
    return mysql_stmt_execute(m_stmt) == 0;
}

bool RawStatement::fetch()
{
    const int r = mysql_stmt_fetch(m_stmt);
    return r == 0 || r == MYSQL_DATA_TRUNCATED;
}

int RawStatement::column(const char* name) const
{
    for (size_t i = 0; i < m_names.size(); ++i)
        if (strcasecmp(m_names[i].c_str(), name) == 0)
            return int(i);
    return -1;
}

std::string RawStatement::text(int column) const
{
    const Cell& cell = m_cells[size_t(column)];
    if (cell.type != MYSQL_TYPE_STRING)
        return {};
    return std::string(cell.buffer.data(), std::min<size_t>(cell.length, cell.buffer.size() - 1));
}

double RawStatement::number(int column) const
{
    const Cell& cell = m_cells[size_t(column)];
    switch (cell.type) {
    case MYSQL_TYPE_FLOAT: {
        float f;
        std::memcpy(&f, cell.buffer.data(), sizeof f);
        return f;
    }
    case MYSQL_TYPE_DOUBLE: {
        double d;
        std::memcpy(&d, cell.buffer.data(), sizeof d);
        return d;
    }
    case MYSQL_TYPE_LONGLONG: {
        long long v;
        std::memcpy(&v, cell.buffer.data(), sizeof v);
        return double(v);
    }
    default:
        return std::strtod(text(column).c_str(), nullptr);
    }
}

Param RawStatement::value(int column) const
{
    const Cell& cell = m_cells[size_t(column)];
    if (cell.type == MYSQL_TYPE_LONGLONG)
        return static_cast<long long>(number(column));
    if (cell.type == MYSQL_TYPE_FLOAT || cell.type == MYSQL_TYPE_DOUBLE)
        return number(column);
    return text(column);
}

} // namespace zelmar::bench
