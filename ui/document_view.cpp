// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/document_view.h"

#include "ui/document_history.h"

namespace pellaro {

void DocumentPage::reportTo(DocumentHistory& history, int page)
{
    connect(this, &DocumentPage::committed, &history, [&history, page](const QString& step) {
        history.commit(step, {page, {}});
    });
    connect(this, &DocumentPage::typed, &history, [&history, page](const QString& step) {
        history.typed(step, {page, {}});
    });
}

}   // namespace pellaro
