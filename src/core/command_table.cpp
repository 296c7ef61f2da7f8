#include "core/command_table.h"

#include <algorithm>
#include <map>
#include <set>
#include <stdexcept>

namespace gim {
namespace {

[[noreturn]] void Fail(const char* what, const QString& path)
{
    throw std::logic_error(what + path.toStdString());
}

// Items of one submenu stand together and name it with one caption: the menu is built from the paths.
void CheckSubmenus(const std::vector<const CommandItem*>& items)
{
    std::map<QString, QString> captions; // plain submenu path -> its caption path with the "&"
    QStringList open;                    // plain paths of the submenus of the previous item
    for (const CommandItem* item : items) {
        QStringList plain, shown, submenus;
        for (qsizetype depth = 0; depth + 1 < item->path.size(); ++depth) {
            plain << StripAccelerator(item->path[depth]);
            shown << item->path[depth];
            const QString key = plain.join(QStringLiteral(" > "));
            const auto [it, added] = captions.emplace(key, shown.join(QStringLiteral(" > ")));
            if (!added && it->second != shown.join(QStringLiteral(" > ")))
                Fail("submenu captioned two ways: ",
                     it->second + QStringLiteral(" / ") + shown.join(QStringLiteral(" > ")));
            if (!added && !open.contains(key))
                Fail("submenu split: ", key);
            submenus << key;
        }
        open = submenus;
    }
}

} // namespace

CommandItem& CommandRegistry::Add(MenuItem id, const char* path, const char* key, const char* hint,
                                  ModeCodes codes, std::vector<CommandStep> steps)
{
    CommandItem& item = m_items.emplace_back();
    item.id = id;
    item.path = QString::fromUtf8(path).split(QStringLiteral(" > "));
    item.shortcut = QString::fromUtf8(key);
    item.hint = QString::fromUtf8(hint);
    item.codes = std::move(codes);
    item.steps = std::move(steps);
    return item;
}

CommandTable CommandRegistry::Compose() const
{
    std::vector<const CommandItem*> placed(kMenuItemCount, nullptr);
    std::set<QString> paths;
    for (const CommandItem& item : m_items) {
        const CommandItem*& place = placed[static_cast<std::size_t>(item.id)];
        if (place || !paths.insert(item.PlainPath()).second)
            Fail("menu item declared twice: ", item.PlainPath());
        place = &item;
    }
    std::vector<const CommandItem*> declared;
    for (const CommandItem* item : placed) {
        if (item)
            declared.push_back(item);
    }
    CheckSubmenus(declared);
    CommandTable table;
    for (std::size_t i = 0; i < placed.size(); ++i) {
        if (!placed[i])
            Fail("no menu item declared for ", QString::fromLatin1(MenuItemName(static_cast<MenuItem>(i))));
        table.push_back(*placed[i]);
    }
    return table;
}

const std::array<const char*, 2> kReportPaneKeysOnMenu{"Ctrl+Alt+P", "Ctrl+Alt+R"};

QString StripAccelerator(const QString& caption)
{
    QString plain;
    plain.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size())
            ++i;
        plain += caption[i];
    }
    return plain;
}

QString CommandItem::PlainPath() const
{
    QStringList plain;
    for (const QString& caption : path)
        plain << StripAccelerator(caption);
    return plain.join(QStringLiteral(" > "));
}

std::vector<Requirement> CommandItem::Requirements() const
{
    std::vector<Requirement> names;
    const auto add = [&names](Requirement name) {
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    };
    for (const CommandStep& step : steps) {
        add(step.operation);
        if (step.when)
            add(step.when->cond);
    }
    for (const Requirement& name : needs)
        add(name);
    return names;
}

} // namespace gim
