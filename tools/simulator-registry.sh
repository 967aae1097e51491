# Sourced by the scripts that run the programs with the simulated keyboard.
# write_simulator_registry FILE LIBRARY: writes the registry stand-in (LUMO_REGISTRY) that
# names LIBRARY as the lighting SDK.
write_simulator_registry() {
  local escaped
  # .reg values escape backslashes and double quotes.
  escaped=$(printf '%s' "$2" | sed -e 's/\\/\\\\/g' -e 's/"/\\"/g')
  cat > "$1" <<REG
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID\\{5B2E0C41-9D37-4A8E-B6F1-2C7D94E0A315}\\ServerBinary]
@="$escaped"
REG
}
