#pragma once

#include "archive/ArchiveVerifier.h"
#include "protocol/ReportMessages.h"

// What a check of the archive folder found, as CJobVerifyArchive hands it to its dialog.
class VerifyOutcome final : public JobOutput
{
public:
    explicit VerifyOutcome(ArchiveVerifier::Result result)
        : m_result(std::move(result))
    {}

    ArchiveVerifier::Result m_result;
};
