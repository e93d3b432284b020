#include "apply/execution_scope.h"

#include "common/files.h"
#include "todo/list_plan.h"

namespace dd {

namespace {

const PlannedPair* Planned(const ListPlan& plan, const std::string& source, const std::string& target) {
  if (!plan.Known) return nullptr;
  for (const PlannedPair& p : plan.Pairs)
    if (DropTrailingSeparator(p.Source) == DropTrailingSeparator(source) &&
        DropTrailingSeparator(p.Target) == DropTrailingSeparator(target))
      return &p;
  return nullptr;
}

// A root that does not resolve keeps its name: opening it fails the same way.
std::string OpenNow(const std::string& root) {
  std::string resolved = ResolvedPath(root);
  return resolved.empty() ? root : resolved;
}

}  // namespace

ExecutionScope ScopeOfExecution(const JobState& job, const JobOptions& options, const ListPlan& plan) {
  ExecutionScope scope;
  const auto& sources = job.SourceFolders;
  const auto& targets = job.TargetFolders;
  if (sources.empty() && plan.Known) {
    for (const PlannedPair& p : plan.Pairs) {
      scope.Sources.push_back(p.Source);
      scope.Targets.push_back(p.Target);
      scope.OpenSources.push_back(p.ResolvedSource);
      scope.OpenTargets.push_back(p.ResolvedTarget);
    }
    scope.Options.TimeTolerance = plan.TimeTolerance;
    scope.Options.DaylightSaving = plan.DaylightSaving;
    scope.Options.DeletedToTrash = plan.DeletedToTrash;
    scope.Options.CompareContent = plan.CompareContent;
    scope.Options.VerifyCopies = plan.VerifyCopies;
    return scope;
  }
  for (std::size_t i = 0; i < sources.size() && i < targets.size(); ++i) {
    if (sources[i].empty() || targets[i].empty()) continue;
    const PlannedPair* p = Planned(plan, sources[i], targets[i]);
    scope.Sources.push_back(sources[i]);
    scope.Targets.push_back(targets[i]);
    scope.OpenSources.push_back(p ? p->ResolvedSource : OpenNow(sources[i]));
    scope.OpenTargets.push_back(p ? p->ResolvedTarget : OpenNow(targets[i]));
  }
  scope.Options = options;
  // Whether content planned the list is the plan's to say; reading copies back, either's to ask.
  if (plan.Known) {
    scope.Options.CompareContent = plan.CompareContent;
    scope.Options.VerifyCopies = options.VerifyCopies || plan.VerifyCopies;
  }
  return scope;
}

}  // namespace dd
