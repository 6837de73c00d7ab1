# Shared by the scripts: where the repository is, and how its build directories are configured
# and built. Source it; it defines vs_configure and vs_build.

VS_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
VS_JOBS=${VS_JOBS:-2}
# ccache finds the same objects whatever folder the repository was cloned into.
export CCACHE_NOHASHDIR=1
export CCACHE_BASEDIR=$VS_ROOT

# vs_configure <build dir> [cmake arguments...]
vs_configure()
{
    local dir=$1
    shift
    cmake -S "$VS_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
}

# vs_build <build dir> [targets...]
vs_build()
{
    local dir=$1
    shift
    ninja -C "$dir" -j"$VS_JOBS" "$@"
}
