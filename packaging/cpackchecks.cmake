# Read by cpack before it packs anything (CPACK_PROJECT_CONFIG_FILE). A package with the master
# password that README.md publishes would open every salon's desk to anyone who read it.
if(CPACK_VELMORA_MASTER_PASSWORD_IS_DEMO AND NOT CPACK_VELMORA_ALLOW_DEMO_PASSWORD)
  message(FATAL_ERROR
    "The build has the documented demo master password; a package of it is refused. Configure "
    "the build again with the salon's own passwords (README.md, \"Debian package\"), or with "
    "-DVELMORA_ALLOW_DEMO_PASSWORD=ON for a demo package.")
endif()
