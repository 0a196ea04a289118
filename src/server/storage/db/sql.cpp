#include "server/storage/db/sql.h"

namespace server::db {

Sql& Sql::operator<<(const Sql& other) {
  text_ += other.text_;
  params_.insert(params_.end(), other.params_.begin(), other.params_.end());
  return *this;
}

Sql& Sql::bind(Param value, std::string_view placeholder) {
  text_ += placeholder;
  params_.push_back(std::move(value));
  return *this;
}

}  // namespace server::db
