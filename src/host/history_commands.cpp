#include "host/history_commands.h"

#include "rtl/dates.h"

namespace host {

using nlohmann::ordered_json;

namespace {

ordered_json textOrNull(const std::string& text) {
  return text.empty() ? ordered_json(nullptr) : ordered_json(text);
}

template <typename T>
ordered_json valueOrNull(const std::optional<T>& value) {
  return value ? ordered_json(*value) : ordered_json(nullptr);
}

ordered_json changeJson(const shared::HistoryChange& c) {
  return {{"id", c.id},
          {"when", c.when},
          {"user", textOrNull(c.user)},
          {"machine", textOrNull(c.machine)},
          {"address", c.address},
          {"method", c.method},
          {"branch", textOrNull(c.branch)},
          {"table", textOrNull(c.table)},
          {"start", textOrNull(c.validityStart)},
          {"request", c.request},
          {"changed", c.changed},
          {"unchanged", c.unchanged},
          {"names_changed", valueOrNull(c.namesChanged)},
          {"names_unchanged", valueOrNull(c.namesUnchanged)},
          {"column", textOrNull(c.column)},
          {"restores", valueOrNull(c.restores)},
          {"discarded", textOrNull(c.discarded)},
          {"undoable", c.undoable}};
}

shared::HistoryFilter filterOf(const DriverCommand& command, int64_t& before, int& count) {
  shared::HistoryFilter filter;
  count = 100;
  for (const auto& [key, value] : command.filters) {
    if (key == "branch") filter.branch = value;
    if (key == "table") filter.table = value;
    if (key == "validity") rtl::TryParseIsoDate(value, filter.validityStart);
    if (key == "user") filter.user = value;
    if (key == "since") filter.since = value;
    if (key == "until") filter.until = value;
    if (key == "method") filter.method = value;
    if (key == "before") before = std::stoll(value);
    if (key == "count") count = std::stoi(value);
  }
  return filter;
}

ordered_json undoJson(const shared::UndoResult& result) {
  ordered_json parts = ordered_json::array();
  for (const shared::UndoPart& part : result.parts) {
    ordered_json left = ordered_json::array();
    for (const shared::LeftAloneItem& item : part.leftAlone)
      left.push_back({{"product", item.product}, {"now", valueOrNull(item.now)}});
    parts.push_back({{"column", part.column},
                     {"id", part.id},
                     {"restored", part.restored},
                     {"left_alone", part.leftCount},
                     {"items", std::move(left)}});
  }
  return {{"id", result.id()},
          {"restored", result.restored()},
          {"left_alone", result.leftCount()},
          {"parts", std::move(parts)}};
}

}  // namespace

void HistoryCommands::Run(const DriverCommand& command, ordered_json& reply) {
  if (command.verb == "changes") {
    int64_t before = 0;
    int count = 0;
    const shared::HistoryFilter filter = filterOf(command, before, count);
    ordered_json changes = ordered_json::array();
    for (const shared::HistoryChange& c : client_.Changes(filter, before, count))
      changes.push_back(changeJson(c));
    reply["changes"] = std::move(changes);
  } else if (command.verb == "change") {
    // The change as the list shows it: the newest one numbered up to ID; none when ID is not a
    // number the list shows (the first row of a change recorded in two).
    const std::vector<shared::HistoryChange> found =
        client_.Changes({}, command.change + int64_t{1}, 1);
    reply["change"] = !found.empty() && found.front().id == command.change
                          ? changeJson(found.front())
                          : ordered_json(nullptr);
    ordered_json items = ordered_json::array();
    for (const shared::HistoryItem& item :
         client_.Items(command.change, command.offset, command.count))
      items.push_back({{"product", item.product},
                       {"tree_code", textOrNull(item.treeCode)},
                       {"name", textOrNull(item.name)},
                       {"column", item.column},
                       {"before", item.before},
                       {"after", item.after}});
    reply["items"] = std::move(items);
  } else if (command.verb == "restore") {
    reply["restored"] = undoJson(client_.Undo(command.change));
  }
}

}  // namespace host
