# Read by cpack before it packs anything (CPACK_PROJECT_CONFIG_FILE). A package with the master
# password that README.md publishes would open every salon's desk to anyone who read it; one with
# the table password of the public sources would protect no salon's tables.
if(CPACK_VELMORA_DEMO_PASSWORDS AND NOT CPACK_VELMORA_ALLOW_DEMO_PASSWORD)
  list(JOIN CPACK_VELMORA_DEMO_PASSWORDS " and the " demo_passwords)
  message(FATAL_ERROR
    "The build has the demo ${demo_passwords}; a package of it is refused. Configure the build "
    "again with the salon's own passwords (README.md, \"Debian package\"), or with "
    "-DVELMORA_ALLOW_DEMO_PASSWORD=ON for a demo package.")
endif()
