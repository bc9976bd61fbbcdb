#include "basic/line_index.h"

namespace vantrel {

bool LineIndex::Add(BasLine& line) {
  if (Has(line.text)) return false;
  lines_[line.text] = &line;
  return true;
}

bool LineIndex::Assign(const std::string& name, int32_t number) {
  if (Has(name)) return false;
  auto label = std::make_unique<BasLine>();
  label->SetText(name);
  label->lineNumber = number;
  labels_[name] = label.get();
  assigned_.push_back(std::move(label));
  return true;
}

BasLine* LineIndex::Find(const std::string& name) const {
  if (auto it = lines_.find(name); it != lines_.end()) {
    BasLine* target = it->second;
    return !target->IsWritten() && target->codeLine ? target->codeLine : target;
  }
  if (auto it = labels_.find(name); it != labels_.end()) return it->second;
  return nullptr;
}

}  // namespace vantrel
