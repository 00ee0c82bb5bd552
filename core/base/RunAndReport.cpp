// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/base/RunAndReport.h"

#include "core/base/Error.h"

namespace edlt {

bool runAndReport(const std::function<void()>& run, const std::function<void(const std::string&)>& report,
                  Reported which)
{
    try {
        run();
        return true;
    } catch (const Error& e) {
        report(e.message());
    } catch (const std::exception& e) {
        if (which == Reported::Errors) throw;
        report(e.what());
    }
    return false;
}

}  // namespace edlt
