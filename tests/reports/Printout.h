#pragma once
// A recorded printout against a case file, one operation a line: the page,
// then "[text] x y font size" (and "bold"), "line x y x2 y2 width",
// "new page" or "end". Lines starting with "#" are comments; "<today>"
// stands for `today`.
#include <sstream>

#include "support/Recording.h"
#include "support/Cases.h"

inline void expectPrintout(const platform::RecordingPrinter& p, const std::string& name,
                           const std::string& today = "") {
    using platform::PrinterOp;
    cases::Lines out, expected;
    for (const auto& op : p.ops) {
        std::ostringstream l;
        l << "p" << op.page << " ";
        if (op.kind == PrinterOp::Text)
            l << "[" << op.text << "] " << op.x << " " << op.y << " " << op.font << " " << op.size
              << (op.bold ? " bold" : "");
        if (op.kind == PrinterOp::Line)
            l << "line " << op.x << " " << op.y << " " << op.x2 << " " << op.y2 << " " << op.width;
        l << (op.kind == PrinterOp::NewPage ? "new page" : op.kind == PrinterOp::EndDocument ? "end" : "");
        out.push_back(l.str());
    }
    for (std::string l : cases::lines(name)) {
        if (auto at = l.find("<today>"); at != std::string::npos) l.replace(at, 7, today);
        if (!l.starts_with("#")) expected.push_back(l);
    }
    EXPECT_EQ(out, expected) << name;
}
