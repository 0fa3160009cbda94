# Sourced by the scripts that start Qt programs on Linux. Qt wants a private runtime folder
# (XDG_RUNTIME_DIR) and warns at every start without one, as under a console login, in a container
# or through sudo. Where there is none, one is made (mode 0700) and removed when the script ends;
# a script with an EXIT trap of its own calls remove_runtime_dir there.
made_runtime_dir=
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  made_runtime_dir=$(mktemp -d "${TMPDIR:-/tmp}/runtime-$(id -un).XXXXXX")
  export XDG_RUNTIME_DIR=$made_runtime_dir
fi
remove_runtime_dir() {
  if [ -n "$made_runtime_dir" ]; then rm -rf "$made_runtime_dir"; fi
}
trap remove_runtime_dir EXIT
