#pragma once

#include "jobs/RecorderJob.h"

// Makes the recorder save the archive data it holds in memory to its card, and posts the result.
// The save cannot be cancelled.
class CJobUpdateCF final : public RecorderJobOf<CJobUpdateCF>
{
public:
    using RecorderJobOf::RecorderJobOf;

protected:
    int Run() override;
    void ReportStartFailure() override;

private:
    friend class RecorderJobOf<CJobUpdateCF>;
    CJobUpdateCF(const CJobUpdateCF &) = default;
};
