#include "platform/DialogService.h"

#include "platform/DataPath.h"
#include "platform/MessageSink.h"
#include "platform/TextFile.h"

namespace corvane {

std::string DialogFailureText(const std::string& name) { return "Unable to load " + name + " dialog"; }

void ReportDialogFailure(MessageSink& sink, const std::string& name) { sink.Plain(DialogFailureText(name)); }

namespace {

std::vector<std::string> SplitBar(const std::string& s, char sep)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t k = s.find(sep, start);
        parts.push_back(s.substr(start, k == std::string::npos ? std::string::npos : k - start));
        if (k == std::string::npos) break;
        start = k + 1;
    }
    return parts;
}

struct FilterEntry {
    std::string description;
    std::vector<std::string> patterns;
};

std::vector<FilterEntry> ParseFilter(const std::string& filter)
{
    std::vector<FilterEntry> out;
    if (Trim(filter).empty()) return out;
    std::vector<std::string> parts = SplitBar(filter, '|');
    for (size_t i = 0; i < parts.size(); i += 2) {
        FilterEntry e;
        e.description = Trim(parts[i]);
        std::string pats = i + 1 < parts.size() ? parts[i + 1] : "*";
        for (std::string p : SplitBar(pats, ';')) {
            p = Trim(p);
            if (p.empty()) continue;
            if (p == "*.*") p = "*";
            e.patterns.push_back(p);
        }
        if (e.patterns.empty()) e.patterns.push_back("*");
        out.push_back(e);
    }
    return out;
}

} // namespace

std::vector<std::string> FileDialogFilters(const std::string& classicFilter)
{
    std::vector<std::string> out;
    for (const FilterEntry& e : ParseFilter(classicFilter)) {
        std::string joined;
        for (const std::string& p : e.patterns) joined += (joined.empty() ? "" : " ") + p;
        const std::string& d = e.description;
        bool hasOwn = !d.empty() && d.back() == ')' && d.find('(') != std::string::npos;
        // A description such as "Map Files (*.MDF)" already shows its patterns; the toolkit
        // reads the last parentheses, which then carry the real pattern list. Its file dialog
        // matches names without regard to case, so "(*.MDF)" stands for "*.mdf" as it is.
        if (hasOwn && SameText(d.substr(d.rfind('(')), "(" + joined + ")"))
            out.push_back(d);
        else if (hasOwn)
            out.push_back(d.substr(0, d.rfind('(')) + "(" + joined + ")");
        else
            out.push_back((d.empty() ? std::string() : d + " ") + "(" + joined + ")");
    }
    return out;
}

std::vector<std::vector<std::string>> FileDialogPatterns(const std::string& classicFilter)
{
    std::vector<std::vector<std::string>> out;
    for (const FilterEntry& e : ParseFilter(classicFilter)) out.push_back(e.patterns);
    return out;
}

namespace {

// Takes the next scripted answer; an empty script cancels. The value is handed over only on Ok.
template <typename Value>
DialogOutcome NextAnswer(std::deque<std::pair<DialogOutcome, Value>>& script, Value& out)
{
    if (script.empty()) return DialogOutcome::Cancel;
    auto a = script.front();
    script.pop_front();
    if (a.first == DialogOutcome::Ok) out = a.second;
    return a.first;
}

} // namespace

DialogOutcome ScriptedDialogService::OpenFile(const FileDialogRequest& request, std::string& chosen)
{
    openRequests.push_back(request);
    return NextAnswer(openAnswers, chosen);
}

DialogOutcome ScriptedDialogService::SaveFile(const FileDialogRequest& request, std::string& chosen)
{
    saveRequests.push_back(request);
    return NextAnswer(saveAnswers, chosen);
}

DialogOutcome ScriptedDialogService::SaveFileFiltered(const FileDialogRequest& request, std::string& chosen, int& filterIndex)
{
    filterIndex = request.filterIndex;
    if (!saveFilterAnswers.empty()) {
        filterIndex = saveFilterAnswers.front();
        saveFilterAnswers.pop_front();
    }
    return SaveFile(request, chosen);
}

DialogOutcome ScriptedDialogService::ChooseColour(Colour initial, Colour& chosen)
{
    colourRequests.push_back(initial);
    return NextAnswer(colourAnswers, chosen);
}

DialogOutcome ScriptedDialogService::ChooseFont(FontChoice& font)
{
    ++fontRequests;
    return NextAnswer(fontAnswers, font);
}

DialogOutcome ScriptedDialogService::Print(PrintChoice& choice)
{
    ++printRequests;
    return NextAnswer(printAnswers, choice);
}

DialogOutcome ScriptedDialogService::PrinterSetup()
{
    ++printerSetupRequests;
    if (printerSetupAnswers.empty()) return DialogOutcome::Cancel;
    DialogOutcome a = printerSetupAnswers.front();
    printerSetupAnswers.pop_front();
    return a;
}

DialogOutcome ScriptedDialogService::PageSetup(PageSetupDialogValues& values)
{
    pageSetupRequests.push_back(values);
    PageSetupDialogValues answer = values;
    DialogOutcome outcome = NextAnswer(pageSetupAnswers, answer);
    answer.millimetres = values.millimetres;   // the unit is the caller's
    values = answer;
    return outcome;
}

} // namespace corvane
