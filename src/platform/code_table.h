#pragma once

#include <QString>
#include <QStringList>
#include <cstddef>
#include <optional>
#include <span>

namespace gim {

// A code and the text shown for it: "MM", "REPARACIONES MECANICA con Materiales". Codes are ASCII,
// labels UTF-8.
struct CodeLabel
{
    const char* code;
    const char* label;
};

// A "code → label" table in the order its lists offer the codes. It only views its entries, which live
// in a static array of the feature that owns the table.
class CodeTable
{
public:
    constexpr CodeTable(std::span<const CodeLabel> entries) : m_entries(entries) {}
    template <std::size_t N> constexpr CodeTable(const CodeLabel (&entries)[N]) : m_entries(entries) {}

    constexpr std::size_t size() const { return m_entries.size(); }
    constexpr const CodeLabel& operator[](std::size_t index) const { return m_entries[index]; }
    constexpr auto begin() const { return m_entries.begin(); }
    constexpr auto end() const { return m_entries.end(); }
    // `count` entries from `first` on, in the same order.
    constexpr CodeTable Slice(std::size_t first, std::size_t count) const
    {
        return CodeTable(m_entries.subspan(first, count));
    }

    // The label of `code`; none for a code the table does not hold (case counts).
    std::optional<QString> Label(const QString& code) const;
    // The label of `code`, or `missing` for a code the table does not hold.
    QString LabelOr(const QString& code, const QString& missing = {}) const;
    // Every code, in table order.
    QStringList Codes() const;

private:
    std::span<const CodeLabel> m_entries;
};

} // namespace gim
