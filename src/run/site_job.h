#pragma once

#include <cstdint>

struct RunContext;

// One site's share of a run: log in, list the article files, post them one by one in
// random order until the list is used up, the quota is reached or a stop is asked for.
// Site numbers are 1-based positions in the SiteList.

enum class PostResult : bool { Relogin = false, Continue = true };

// Fresh session, login (three tries) and article list. True when the site is ready to
// post (also with an empty list), false when it was finished. attempt: 0 in SyncCycle
// mode, 1 … 3 in Independent mode.
bool Prepare(RunContext& run, std::int32_t site, std::int32_t attempt);

// Draws, composes and publishes the next article, then waits the site's pause unless
// noWait. Relogin after five failures in a row.
PostResult PostNext(RunContext& run, std::int32_t site, bool noWait);

// The body of a site's worker thread in Independent mode: at most three preparations.
void RunIndependentJob(RunContext& run, std::int32_t site);

// Ends the site's part in the run once; writes its closing row when it was started.
void FinishSite(RunContext& run, std::int32_t site);
