#include "kelInfoTable.h"

#include <algorithm>
#include <string>
#include <vector>

using Row = std::vector<std::string>;

static void printColumns(FILE* out, const std::vector<Row>& rows)
{
    std::vector<size_t> widths;
    for (const Row& row : rows)
        for (size_t i = 0; i < row.size(); ++i) {
            if (widths.size() <= i)
                widths.push_back(0);
            widths[i] = std::max(widths[i], row[i].size());
        }
    for (const Row& row : rows) {
        std::string line;
        for (size_t i = 0; i < row.size(); ++i)
            line += i + 1 < row.size() ? row[i] + std::string(widths[i] - row[i].size() + 2, ' ') : row[i];
        fprintf(out, "%s\n", line.c_str());
    }
}

static std::string joined(const nlohmann::json& list, const char* separator)
{
    std::string text;
    for (const nlohmann::json& item : list)
        text += (text.empty() ? "" : separator) +
                (item.is_string() ? item.get<std::string>() : item.dump());
    return text;
}

void kelInfoPrintFormats(FILE* out, const nlohmann::json& formats)
{
    std::vector<Row> rows = {{"FORMAT", "DESCRIPTION", "SUFFIXES", "ACCESS", "LIBRARY", "LOADS"}};
    for (const nlohmann::json& f : formats)
        rows.push_back({f["name"], f["description"], joined(f["suffixes"], " "), f["access"], f["library"],
                        f["loadable"].get<bool>() ? "yes" : "no"});
    printColumns(out, rows);
    for (const nlohmann::json& f : formats)
        if (!f["loadable"].get<bool>() && !f["reason"].get<std::string>().empty())
            fprintf(out, "%s: %s\n", f["name"].get<std::string>().c_str(), f["reason"].get<std::string>().c_str());
}

static std::string number(double v)
{
    char buf[64];
    snprintf(buf, sizeof buf, "%.10g", v);
    return buf;
}

static std::string rangeText(const nlohmann::json& range)
{
    if (range.is_null())
        return "-";
    return number(range["min"].get<double>()) + " .. " + number(range["max"].get<double>());
}

static std::string colormapText(const nlohmann::json& cmap)
{
    if (cmap.is_null())
        return "-";
    return std::to_string(cmap["entries"].get<int>()) + " entries of " + std::to_string(cmap["channels"].get<int>()) +
           " " + cmap["data_type"].get<std::string>() + " channels (indices " +
           number(cmap["first"].get<double>()) + " .. " + number(cmap["last"].get<double>()) + ")";
}

// Long values (blocks of bytes) are cut: --json has them whole.
static std::string shortened(std::string text)
{
    const size_t shown = 60;
    if (text.size() > shown + 20)
        text = text.substr(0, shown) + "... (" + std::to_string(text.size()) + " characters)";
    return text;
}

// One row per item, labelled with its key (blanks for underscores).
static void addItemRows(std::vector<Row>& rows, const nlohmann::json& items, const std::string& indent)
{
    for (auto it = items.begin(); it != items.end(); ++it) {
        std::string label = it.key();
        std::replace(label.begin(), label.end(), '_', ' ');
        const nlohmann::json& v = it.value();
        rows.push_back({indent + label,
                        shortened(v.is_array() ? joined(v, ", ") : v.is_string() ? v.get<std::string>() : v.dump())});
    }
}

static std::vector<Row> imageRows(const nlohmann::json& image)
{
    if (image.contains("error"))
        return {{"    error", image["error"]}};
    std::vector<Row> rows = {{"    size", joined(image["size"], " x ")},
            {"    page size", joined(image["page_size"], " x ")},
            {"    data type", image["data_type"]},
            {"    order", image["order"]},
            {"    orientation", image["orientation"]},
            {"    color model", image["color_model"]},
            {"    compression", image["compression"]},
            {"    colormap", colormapText(image["colormap"])},
            {"    scale", rangeText(image["scale"])},
            {"    statistics", rangeText(image["statistics"])}};
    addItemRows(rows, image["items"], "    ");
    return rows;
}

// "animation: canvas 48 x 32, loops forever", then a table of the frames.
static void printAnimation(FILE* out, const nlohmann::json& anim)
{
    const nlohmann::json& loops = anim["loop_count"];
    std::string looping = loops.is_null()           ? "no loop count"
                          : loops.get<int>() == 0 ? "loops forever"
                                                  : "loops " + loops.dump() + " times";
    fprintf(out, "  animation: canvas %s, %s\n", joined(anim["canvas"], " x ").c_str(), looping.c_str());
    std::vector<Row> rows = {{"    frame", "delay ms", "disposal", "blend", "left, top, width, height"}};
    for (const nlohmann::json& f : anim["frames"])
        rows.push_back({"    " + f["index"].dump(), f["delay_ms"].is_null() ? "-" : f["delay_ms"].dump(),
                        f["disposal"], f["blend"], joined(f["rectangle"], ", ")});
    printColumns(out, rows);
}

void kelInfoPrintFile(FILE* out, const nlohmann::json& file)
{
    if (file.contains("error"))
        return;
    int count = file["image_count"];
    fprintf(out, "%s: %s (%s), %d image%s\n", file["file"].get<std::string>().c_str(),
            file["format"].get<std::string>().c_str(), file["description"].get<std::string>().c_str(), count,
            count == 1 ? "" : "s");
    std::vector<Row> rows;
    addItemRows(rows, file["items"], "  ");
    for (const nlohmann::json& image : file["images"]) {
        rows.push_back({"  image " + std::to_string(image["index"].get<int>())});
        for (Row& row : imageRows(image))
            rows.push_back(std::move(row));
    }
    printColumns(out, rows);
    if (file.contains("animation"))
        printAnimation(out, file["animation"]);
}
