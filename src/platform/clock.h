#pragma once

#include <QDateTime>

namespace gim {

class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime Now() const = 0;
};

class SystemClock final : public Clock
{
public:
    QDateTime Now() const override { return QDateTime::currentDateTime(); }
};

// Tests run against a fixed moment that they may move.
class FixedClock final : public Clock
{
public:
    explicit FixedClock(QDateTime now) : m_now(std::move(now)) {}
    QDateTime Now() const override { return m_now; }
    void Set(QDateTime now) { m_now = std::move(now); }

private:
    QDateTime m_now;
};

} // namespace gim
