#pragma once

#include <QLoggingCategory>

// The application layer's log: which language file a run loaded, and where it looked.
Q_DECLARE_LOGGING_CATEGORY(lcApp)
