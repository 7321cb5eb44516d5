// The bookkeeping both window backends keep for the program's controls: a
// table by identifier, the window that hosts each control (the main window
// or an open dialog) and the order of creation. Only the backends include
// this header; each keeps one table, private to its controls file, with a
// record type of its own that has at least these members:
//   ui::ControlSpec spec;  // as created, text and colours as they are now
//   int host;              // kMainWindowHost or the dialog's level
#pragma once

#include <algorithm>
#include <map>
#include <optional>
#include <vector>

#include "platform/ui.h"

namespace ui::table {

// Where a control lives: the main window, or the dialog opened at that
// nesting level (1 for a dialog over the main window, 2 for one over that).
constexpr int kMainWindowHost = 0;

template <class Record>
class ControlTable {
public:
    Record* Find(int id)
    {
        auto it = records_.find(id);
        return it == records_.end() ? nullptr : &it->second;
    }
    const Record* Find(int id) const
    {
        auto it = records_.find(id);
        return it == records_.end() ? nullptr : &it->second;
    }
    bool Has(int id) const { return records_.count(id) != 0; }

    // The identifier must be free: a backend takes the old control out first,
    // because only it knows how to dispose of what the record holds.
    Record& Add(int id, Record record)
    {
        order_.push_back(id);
        return records_[id] = std::move(record);
    }

    std::optional<Record> Take(int id)
    {
        auto it = records_.find(id);
        if (it == records_.end())
            return std::nullopt;
        std::optional<Record> out(std::move(it->second));
        records_.erase(it);
        order_.erase(std::remove(order_.begin(), order_.end(), id), order_.end());
        return out;
    }

    // In creation order.
    const std::vector<int>& Ids() const { return order_; }
    std::vector<int> IdsOn(int host) const
    {
        std::vector<int> out;
        for (int id : order_)
            if (records_.at(id).host == host)
                out.push_back(id);
        return out;
    }

    void Clear()
    {
        records_.clear();
        order_.clear();
    }

    // The colours as the program last set them; kDefaultColour for an
    // identifier that has no control.
    Colour TextColour(int id) const
    {
        const Record* r = Find(id);
        return r ? r->spec.text_colour : kDefaultColour;
    }
    Colour BackColour(int id) const
    {
        const Record* r = Find(id);
        return r ? r->spec.back_colour : kDefaultColour;
    }

private:
    std::map<int, Record> records_;
    std::vector<int> order_;
};

// SetColours on a spec: kDefaultColour keeps that colour as it is.
inline void MergeColours(ControlSpec& spec, Colour text, Colour back)
{
    if (text != kDefaultColour)
        spec.text_colour = text;
    if (back != kDefaultColour)
        spec.back_colour = back;
}

} // namespace ui::table
